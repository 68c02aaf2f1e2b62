# Scanners and parsers of the two languages, generated at build time. Included
# from the top directory: the generation rules must live where morvelcore is made.
find_package(BISON 3.0 REQUIRED)
find_package(FLEX 2.6 REQUIRED)

# Generated scanners and parsers land in the build tree under the same
# relative paths as their sources, so that they are included alike.
target_include_directories(morvelcore PUBLIC ${CMAKE_BINARY_DIR})

# Builds the scanner and parser of one language into morvelcore.
function(add_language name folder)
  set(source_dir ${CMAKE_SOURCE_DIR}/languages/${folder})
  set(binary_dir ${CMAKE_BINARY_DIR}/languages/${folder})
  file(MAKE_DIRECTORY ${binary_dir})
  bison_target(${name}_parser ${source_dir}/${name}_parser.y ${binary_dir}/${name}_parser.cpp
    DEFINES_FILE ${binary_dir}/${name}_parser.hpp COMPILE_FLAGS -Wall)
  flex_target(${name}_scanner ${source_dir}/${name}_scanner.l ${binary_dir}/${name}_scanner.cpp)
  add_flex_bison_dependency(${name}_scanner ${name}_parser)
  set(generated ${BISON_${name}_parser_OUTPUT_SOURCE} ${FLEX_${name}_scanner_OUTPUTS})
  # The generated code is not ours to tidy.
  set_source_files_properties(${generated} PROPERTIES
    COMPILE_OPTIONS "-Wno-unused-parameter;-Wno-sign-compare;-Wno-unused-function")
  target_sources(morvelcore PRIVATE ${generated})
endfunction()

add_language(definition definition)
add_language(model model)

