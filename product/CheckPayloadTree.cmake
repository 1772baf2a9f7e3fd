# Checks a staged payload tree before it is packed (run with cmake -P):
#   TREE  the tree
# The installer maps only these top-level folders to target directories, and an
# installation without the product, its launcher description or the uninstaller
# cannot be used or removed: the build stops with every fault named.
cmake_policy(SET CMP0057 NEW)
set(allowed_roots InstallDir AppData TEMP BZQ)
set(required InstallDir/Quor.exe InstallDir/Launcher.xml InstallDir/Uninstall.exe)
set(faults "")
if(NOT IS_DIRECTORY "${TREE}")
  message(FATAL_ERROR "Payload tree ${TREE} does not exist")
endif()
file(GLOB top RELATIVE "${TREE}" "${TREE}/*")
foreach(entry IN LISTS top)
  if(NOT entry IN_LIST allowed_roots)
    list(APPEND faults "  ${entry}: not a payload root (allowed: InstallDir, AppData, TEMP, BZQ)")
  elseif(NOT IS_DIRECTORY "${TREE}/${entry}")
    list(APPEND faults "  ${entry}: a payload root must be a folder")
  endif()
endforeach()
foreach(file IN LISTS required)
  if(NOT EXISTS "${TREE}/${file}" OR IS_DIRECTORY "${TREE}/${file}")
    list(APPEND faults "  ${file}: missing")
  endif()
endforeach()
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "Payload tree ${TREE} cannot be packed:\n${text}")
endif()
