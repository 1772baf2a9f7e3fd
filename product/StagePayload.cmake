# Stages the sample product's payload tree (run with cmake -P):
#   STAGE            the tree to (re)create
#   STATIC_TREE      product/payload: the files kept in the source tree
#   PRODUCT          Quor.exe, into InstallDir
#   VERSION_DIR_FILES "|"-separated programs for InstallDir/<version>
#   RUNTIME_FILES    "|"-separated files for InstallDir/Microsoft.VC90.CRT
#   UNINSTALL        the uninstaller, into InstallDir as Uninstall.exe (may be empty)
file(REMOVE_RECURSE ${STAGE})
file(COPY ${STATIC_TREE}/ DESTINATION ${STAGE})
set(install_dir ${STAGE}/InstallDir)
file(COPY_FILE ${PRODUCT} ${install_dir}/Quor.exe)
string(REPLACE "|" ";" version_files "${VERSION_DIR_FILES}")
file(COPY ${version_files} DESTINATION ${install_dir}/8.17.0.0)
string(REPLACE "|" ";" runtime_files "${RUNTIME_FILES}")
file(COPY ${runtime_files} DESTINATION ${install_dir}/Microsoft.VC90.CRT)
if(UNINSTALL)
  file(COPY_FILE ${UNINSTALL} ${install_dir}/Uninstall.exe)
endif()
