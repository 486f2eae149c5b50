# The Windows program image: resources, a console subsystem of version 4.0,
# the compiler's runtime linked in, and a byte-identical result from every
# clean build of the same sources.
enable_language(RC)

target_sources(unattended PRIVATE res/unattended.rc)
set_source_files_properties(res/unattended.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/unattended.ico;${CMAKE_SOURCE_DIR}/res/unattended.manifest")

foreach(target unattended_core unattended sample_setup)
  # The program uses neither exceptions nor run-time type information.
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -ffunction-sections -fdata-sections
    # No build folder in the image.
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
endforeach()

foreach(target unattended sample_setup)
  target_link_options(${target} PRIVATE
    # A clean Windows has no libgcc or libstdc++ DLLs: link them in.
    -static -static-libgcc -static-libstdc++
    -Wl,--subsystem,console:4.0 -Wl,--gc-sections
    # No link time stamp, and no symbols: the same sources give the same bytes.
    -Wl,--no-insert-timestamp -s)
endforeach()

# Reads the version record as the platform's file properties would show it.
add_executable(version_probe tests/windows/version_probe.cpp)
target_link_libraries(version_probe PRIVATE version)
target_link_options(version_probe PRIVATE -static -static-libgcc -static-libstdc++)
