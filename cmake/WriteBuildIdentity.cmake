# Writes the build's identity (see game/BuildIdentity.hpp) into OUTPUT, run by
# every build; the file is rewritten only when its text changes, so an
# unchanged tree compiles nothing again.
#
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -DTEMPLATE=... -DPATHS=a|b|c
#         -DBUILD_TYPE=... -DTOOLCHAIN=... -P WriteBuildIdentity.cmake
#
# PATHS are the source folders and files the binary is built from; changes
# elsewhere (tests, documents) do not change the identity.
cmake_minimum_required(VERSION 3.16)
string(REPLACE "|" ";" paths "${PATHS}")

execute_process(COMMAND git rev-parse --short=12 HEAD WORKING_DIRECTORY "${SOURCE_DIR}"
  OUTPUT_VARIABLE commit RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)

set(changes "")
if(failed OR NOT commit)
  # No history to name: the sources themselves, by a hash of every file.
  set(commit "unknown")
  set(globs "")
  foreach(path ${paths})
    if(IS_DIRECTORY "${SOURCE_DIR}/${path}")
      list(APPEND globs "${SOURCE_DIR}/${path}/*")
    else()
      list(APPEND globs "${SOURCE_DIR}/${path}")
    endif()
  endforeach()
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}" ${globs})
  list(SORT files)
  set(listing "")
  foreach(file ${files})
    file(SHA256 "${SOURCE_DIR}/${file}" digest)
    string(APPEND listing "${file} ${digest}\n")
  endforeach()
  string(SHA256 digest "${listing}")
  string(SUBSTRING "${digest}" 0 12 digest)
  set(changes "+sources.${digest}")
else()
  # Changes not committed (staged or not, and new files) name the tree too:
  # two different trees on one commit must not claim the same identity.
  execute_process(COMMAND git diff HEAD --binary --no-ext-diff --no-color -- ${paths}
    WORKING_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE diff ERROR_QUIET)
  execute_process(COMMAND git ls-files --others --exclude-standard -- ${paths}
    WORKING_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE untracked ERROR_QUIET)
  string(REPLACE "\n" ";" untracked "${untracked}")
  list(SORT untracked)
  set(listing "")
  foreach(file ${untracked})
    if(file)
      file(SHA256 "${SOURCE_DIR}/${file}" digest)
      string(APPEND listing "${file} ${digest}\n")
    endif()
  endforeach()
  if(diff OR listing)
    string(SHA256 digest "${diff}\n${listing}")
    string(SUBSTRING "${digest}" 0 12 digest)
    set(changes "+changes.${digest}")
  endif()
endif()

if(NOT BUILD_TYPE)
  set(BUILD_TYPE "no-type")
endif()
set(VORLUNE_BUILD_IDENTITY "${commit}${changes} ${BUILD_TYPE} ${TOOLCHAIN}")
# configure_file leaves the file (and its time) alone when the text is the same.
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
