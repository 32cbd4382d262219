# install.exe carries its own install archive holding "install.pif". The archive
# is appended after linking by a generator built with the host's compiler.
find_program(QM_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(QM_ARCHIVE_GENERATOR ${CMAKE_BINARY_DIR}/host-tools/make_install_archive)
add_custom_command(
  OUTPUT ${QM_ARCHIVE_GENERATOR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host-tools
  COMMAND ${QM_HOST_CXX} -std=c++17 -O1 -o ${QM_ARCHIVE_GENERATOR}
          ${CMAKE_SOURCE_DIR}/tools/gen/make_install_archive.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen/make_install_archive.cpp
  COMMENT "Building the install archive generator with the host compiler")
add_custom_target(install_archive_generator DEPENDS ${QM_ARCHIVE_GENERATOR})
add_dependencies(install_program install_archive_generator)
add_custom_command(TARGET install_program POST_BUILD
  COMMAND ${QM_ARCHIVE_GENERATOR} $<TARGET_FILE:install_program>
  COMMENT "Appending the install archive to install.exe")
