# Tollevane.exe, the end-to-end tests and their helpers.
enable_language(RC)

# Windows 2000 is the oldest system the program runs on; newer declarations are
# wanted for the structures it sizes itself, never for imports (see the import test).
set(TOLLEVANE_WIN_DEFINES UNICODE _UNICODE WINVER=0x0600 _WIN32_WINNT=0x0600 _WIN32_IE=0x0600
    NOMINMAX WIN32_LEAN_AND_MEAN)
target_compile_definitions(tollevane_core PUBLIC ${TOLLEVANE_WIN_DEFINES})
# A small program file: unused code is dropped and symbols are stripped.
set(TOLLEVANE_SECTION_OPTIONS -ffunction-sections -fdata-sections)
# The shipped program must not depend on where it was built: source and build paths
# are mapped away should a path ever be compiled in (__FILE__, assertions), and the
# link leaves out the build time.
set(TOLLEVANE_PATH_OPTIONS -ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
target_compile_options(tollevane_core PRIVATE ${TOLLEVANE_SECTION_OPTIONS} ${TOLLEVANE_PATH_OPTIONS})

set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

file(GLOB TOLLEVANE_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/win32/*.cpp)
# The console companion is a program of its own.
list(FILTER TOLLEVANE_WIN32_SOURCES EXCLUDE REGEX "/src/companion/")

add_executable(Tollevane WIN32 ${TOLLEVANE_WIN32_SOURCES}
               ${CMAKE_SOURCE_DIR}/src/resources/Tollevane.rc)
target_link_libraries(Tollevane PRIVATE tollevane_core)
target_compile_options(Tollevane PRIVATE ${TOLLEVANE_SECTION_OPTIONS} ${TOLLEVANE_PATH_OPTIONS})
target_include_directories(Tollevane PRIVATE ${CMAKE_SOURCE_DIR}/src/resources)
target_link_options(Tollevane PRIVATE -municode -static -static-libgcc -static-libstdc++
                    -Wl,--gc-sections -s -Wl,--no-insert-timestamp)
# setupapi is loaded at run time from the system folder (pnp/win32/SetupApi.h).
target_link_libraries(Tollevane PRIVATE
    imagehlp rpcrt4 shlwapi ole32 oleaut32 uuid comctl32
    shell32 user32 gdi32 advapi32 kernel32)
set_target_properties(Tollevane PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} OUTPUT_NAME Tollevane)

# Tollevane.com, the console companion beside the program: a prompt or a script waits
# for it and gets the program's exit status. It stays a few kilobytes importing kernel32
# alone: no run-time library, no start-up code, no exceptions or unwind tables.
add_executable(TollevaneCompanion ${CMAKE_SOURCE_DIR}/src/companion/win32/ConsoleCompanion.cpp)
target_compile_definitions(TollevaneCompanion PRIVATE ${TOLLEVANE_WIN_DEFINES})
target_include_directories(TollevaneCompanion PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(TollevaneCompanion PRIVATE ${TOLLEVANE_PATH_OPTIONS} -fno-exceptions
                       -fno-rtti -fno-asynchronous-unwind-tables -fno-stack-protector -fno-builtin)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TOLLEVANE_COMPANION_ENTRY _CompanionEntry)
else()
  set(TOLLEVANE_COMPANION_ENTRY CompanionEntry)
endif()
target_link_options(TollevaneCompanion PRIVATE -nostdlib -nostartfiles -mconsole
                    -Wl,-e,${TOLLEVANE_COMPANION_ENTRY} -s -Wl,--no-insert-timestamp)
target_link_libraries(TollevaneCompanion PRIVATE kernel32)
set_target_properties(TollevaneCompanion PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} OUTPUT_NAME Tollevane SUFFIX .com)

# What a user downloads: the program, its help file and the read-me, packed from this
# build. Packed at every build: the entries carry the time of the last commit, which
# no file dependency would notice.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TOLLEVANE_ARCH win32)
else()
  set(TOLLEVANE_ARCH win64)
endif()
set(TOLLEVANE_RELEASE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(TOLLEVANE_ARCHIVE ${CMAKE_BINARY_DIR}/Tollevane-${TOLLEVANE_RELEASE_VERSION}-${TOLLEVANE_ARCH}.zip)
# For scripts/dist.sh, which copies the archive without knowing the version.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/release-archive.txt CONTENT "${TOLLEVANE_ARCHIVE}\n")

# The compiled help file next to the program, opened by topic number.
find_program(TOLLEVANE_FPC fpc)
if(TOLLEVANE_FPC)
  file(GLOB TOLLEVANE_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
  add_custom_command(
      OUTPUT ${CMAKE_BINARY_DIR}/Tollevane.chm
      COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/build-help.sh ${CMAKE_SOURCE_DIR}/help
              ${CMAKE_BINARY_DIR}/help ${CMAKE_BINARY_DIR}/Tollevane.chm
      DEPENDS ${TOLLEVANE_HELP_SOURCES} ${CMAKE_SOURCE_DIR}/scripts/build-help.sh
              ${CMAKE_SOURCE_DIR}/scripts/chm-compile.pas ${CMAKE_SOURCE_DIR}/scripts/chm-clear-times.py
      COMMENT "Compiling the help file")
  # The English help beside it, named with the language before the extension: the Japanese
  # file keeps the name it has always had, and both sort together beside the program.
  file(GLOB TOLLEVANE_HELP_EN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/en/*)
  add_custom_command(
      OUTPUT ${CMAKE_BINARY_DIR}/Tollevane.en.chm
      COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/build-help.sh ${CMAKE_SOURCE_DIR}/help/en
              ${CMAKE_BINARY_DIR}/help-en ${CMAKE_BINARY_DIR}/Tollevane.en.chm ${CMAKE_SOURCE_DIR}/help
      DEPENDS ${TOLLEVANE_HELP_EN_SOURCES} ${TOLLEVANE_HELP_SOURCES} ${CMAKE_SOURCE_DIR}/scripts/build-help.sh
              ${CMAKE_SOURCE_DIR}/scripts/chm-compile.pas ${CMAKE_SOURCE_DIR}/scripts/chm-clear-times.py
      COMMENT "Compiling the English help file")
  add_custom_target(help_file ALL DEPENDS ${CMAKE_BINARY_DIR}/Tollevane.chm ${CMAKE_BINARY_DIR}/Tollevane.en.chm)

  find_program(TOLLEVANE_PYTHON3 NAMES python3 REQUIRED)
  add_custom_target(release_archive ALL
      COMMAND ${TOLLEVANE_PYTHON3} ${CMAKE_SOURCE_DIR}/scripts/pack-release.py
              --output ${TOLLEVANE_ARCHIVE} --version ${TOLLEVANE_RELEASE_VERSION}
              --source ${CMAKE_SOURCE_DIR}
              Tollevane.exe=$<TARGET_FILE:Tollevane> Tollevane.com=$<TARGET_FILE:TollevaneCompanion>
              Tollevane.chm=${CMAKE_BINARY_DIR}/Tollevane.chm
              Tollevane.en.chm=${CMAKE_BINARY_DIR}/Tollevane.en.chm
              --text Readme.txt=${CMAKE_SOURCE_DIR}/release/Readme.txt
              --text Readme.en.txt=${CMAKE_SOURCE_DIR}/release/Readme.en.txt
      BYPRODUCTS ${TOLLEVANE_ARCHIVE}
      DEPENDS Tollevane TollevaneCompanion help_file ${CMAKE_SOURCE_DIR}/release/Readme.txt
              ${CMAKE_SOURCE_DIR}/release/Readme.en.txt
      COMMENT "Packing ${TOLLEVANE_ARCHIVE}")
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  enable_testing()
  add_subdirectory(tests/e2e)
endif()

# The program must load on every supported system, which Wine cannot prove.
string(REGEX REPLACE "g\\+\\+$" "objdump" TOLLEVANE_OBJDUMP "${CMAKE_CXX_COMPILER}")
enable_testing()
add_test(NAME imports_${CMAKE_SYSTEM_PROCESSOR}
         COMMAND ${CMAKE_COMMAND} -E env OBJDUMP=${TOLLEVANE_OBJDUMP}
                 bash ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh $<TARGET_FILE:Tollevane>)
add_test(NAME companion_imports_${CMAKE_SYSTEM_PROCESSOR}
         COMMAND ${CMAKE_COMMAND} -E env OBJDUMP=${TOLLEVANE_OBJDUMP}
                 bash ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh --companion
                 $<TARGET_FILE:TollevaneCompanion>)

# Test-only DLLs that stand in, in a test prefix, for Windows services that Wine
# lacks. Each lives in its own folder and builds into stand-ins/ of the build tree.
set(TOLLEVANE_STAND_IN_DIR ${CMAKE_BINARY_DIR}/stand-ins)
file(GLOB TOLLEVANE_STAND_INS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/stand-ins/*/CMakeLists.txt)
foreach(stand_in IN LISTS TOLLEVANE_STAND_INS)
  get_filename_component(stand_in_dir ${stand_in} DIRECTORY)
  add_subdirectory(${stand_in_dir})
endforeach()
