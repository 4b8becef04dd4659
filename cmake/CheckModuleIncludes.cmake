# Fails when a source of an engine module includes a header of a module that
# its module does not use (directly or through the modules it uses).
#
#   cmake -DSOURCE_DIR=<tree> -DMODULE_ORDER=<build>/module-order.cmake -P CheckModuleIncludes.cmake
#
# module-order.cmake is written at configure time from the `vorlune_module`
# calls of the top CMakeLists.txt, so the link lists are the only statement of
# the order.
include(${MODULE_ORDER})

set(violations 0)
foreach(module ${VORLUNE_MODULES})
  file(GLOB_RECURSE files ${SOURCE_DIR}/${module}/*.cpp ${SOURCE_DIR}/${module}/*.hpp)
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z]+/")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z]+)/.*$" "\\1" used "${line}")
      list(FIND VORLUNE_MODULES ${used} isModule)
      if(isModule EQUAL -1)
        continue()
      endif()
      list(FIND VORLUNE_MODULE_ALLOWED_${module} ${used} allowed)
      if(allowed EQUAL -1)
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        string(REPLACE ";" ", " may "${VORLUNE_MODULE_ALLOWED_${module}}")
        message("${shown}: ${line}: ${module} may only use ${may}")
        math(EXPR violations "${violations} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) against the module order")
endif()
list(LENGTH VORLUNE_MODULES count)
message("module order kept by all ${count} modules")
