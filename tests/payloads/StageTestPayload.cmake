# Stages a test payload tree (run with cmake -P), deterministic content:
#   STAGE    the tree to (re)create
#   KIND     "roots": every archive root, nested folders, an empty file, a file
#            larger than one 4 MiB write chunk, a program (BCJ2), a loose file;
#            "escape": a normal file and an entry that climbs out with "..".
#   PROGRAM  a built program to carry (roots)
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
if(KIND STREQUAL "roots")
  file(MAKE_DIRECTORY ${STAGE}/InstallDir/8.17.0.0/image ${STAGE}/InstallDir/empty-folder)
  file(COPY_FILE ${PROGRAM} ${STAGE}/InstallDir/Quor.exe)
  file(WRITE ${STAGE}/InstallDir/8.17.0.0/empty.dat "")
  file(WRITE ${STAGE}/InstallDir/sub/deeper/leaf.txt "leaf of a nested folder\n")
  # 5 MiB and a bit: more than one write chunk.
  string(REPEAT "0123456789abcdef" 4096 block)
  set(big "")
  foreach(i RANGE 0 80)
    string(APPEND big "${i}:${block}")
  endforeach()
  file(WRITE ${STAGE}/InstallDir/8.17.0.0/big.dat "${big}")
  file(WRITE ${STAGE}/InstallDir/Launcher.xml
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<LauncherInfo>\n    <VersionInfo No=\"8.17.0.0\" quorPath=\"8.17.0.0\" Enable=\"1\" First=\"0\" Index=\"1\" />\n</LauncherInfo>\n")
  file(WRITE ${STAGE}/AppData/lang.config "[language]\ncurrent=zh-CN\n")
  file(WRITE ${STAGE}/AppData/cache/state.txt "per-installation state\n")
  file(WRITE ${STAGE}/TEMP/quor-e2e-roots-temp.txt "for the temporary folder\n")
  file(WRITE ${STAGE}/BZQ/quor-e2e-roots-bzq.txt "for the business folder\n")
  file(WRITE ${STAGE}/Extra/other-root.txt "an unknown root goes to the install directory\n")
  file(WRITE ${STAGE}/loose.txt "no folder at all\n")
elseif(KIND STREQUAL "escape")
  file(WRITE ${STAGE}/InstallDir/ok.txt "inside\n")
  file(WRITE ${STAGE}/escaped.txt "must never be written\n")
else()
  message(FATAL_ERROR "unknown KIND ${KIND}")
endif()
