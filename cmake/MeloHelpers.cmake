# Adds the sources of one folder of a library: every .h/.cpp beside the calling CMakeLists.txt.
# Each folder lists its own files this way, so moving a folder moves its build too.
function(melo_add_folder_sources target)
  file(GLOB _src CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  target_sources(${target} PRIVATE ${_src})
endfunction()

# Adds every sub-folder beside the calling CMakeLists.txt that has a CMakeLists.txt of its
# own, so that a new folder is built without being listed anywhere.
function(melo_add_subfolders)
  file(GLOB _children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${_children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# Builds a resource package NAME.rcc from the files under DIR and places it beside
# every executable. Text tables come as fragments (resources/text/*.xml, one per area)
# and are merged into the package's "text/text.xml". Files made at build time are added
# with GENERATED followed by pairs of package path and built file.
function(melo_add_resource_package name dir)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "GENERATED")
  set(_out ${CMAKE_BINARY_DIR}/bin/${name}.rcc)
  set(_stage ${CMAKE_CURRENT_BINARY_DIR}/${name}-rcc)
  file(GLOB_RECURSE _files CONFIGURE_DEPENDS RELATIVE ${dir} ${dir}/*)
  file(GLOB _fragments CONFIGURE_DEPENDS ${dir}/text/*.xml)
  list(FILTER _files EXCLUDE REGEX "^text/")
  set(_qrc ${_stage}/${name}.qrc)
  set(_entries "")
  set(_deps "")
  foreach(f ${_files})
    string(APPEND _entries "    <file alias=\"${f}\">${dir}/${f}</file>\n")
    list(APPEND _deps ${dir}/${f})
  endforeach()
  while(arg_GENERATED)
    list(POP_FRONT arg_GENERATED _alias _path)
    string(APPEND _entries "    <file alias=\"${_alias}\">${_path}</file>\n")
    list(APPEND _deps ${_path})
  endwhile()
  if(_fragments)
    string(APPEND _entries "    <file alias=\"text/text.xml\">${_stage}/text.xml</file>\n")
    add_custom_command(OUTPUT ${_stage}/text.xml
      COMMAND ${CMAKE_COMMAND} -DOUT=${_stage}/text.xml -DIN="${_fragments}"
              -P ${PROJECT_SOURCE_DIR}/cmake/MergeTextTables.cmake
      DEPENDS ${_fragments} ${PROJECT_SOURCE_DIR}/cmake/MergeTextTables.cmake)
    list(APPEND _deps ${_stage}/text.xml)
  endif()
  file(WRITE ${_qrc}.in "<RCC>\n  <qresource prefix=\"/\">\n${_entries}  </qresource>\n</RCC>\n")
  configure_file(${_qrc}.in ${_qrc} COPYONLY)
  add_custom_command(OUTPUT ${_out}
    COMMAND Qt6::rcc --binary -o ${_out} ${_qrc}
    DEPENDS ${_qrc} ${_deps})
  add_custom_target(${name}_rcc ALL DEPENDS ${_out})
endfunction()
