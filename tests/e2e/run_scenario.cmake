# Runs one scenario through vkhost and compares what it wrote with what is expected:
#   NAME.log  the whole log (when present)
#   NAME.err  the error output of a scenario that must fail (when present);
#             otherwise vkhost must succeed.
# Every "shot" and "print" file the scenario names must have been written, and
# vkhost --check must find nothing left behind (stale engine handles, GDI objects).
# A line "# plugin: recorder" in the scenario's head runs it with the recording
# test plug-in, "# plugin: missing" with a module that does not exist. A line
# "# serve: DIR" serves that folder (relative to the scenario's) instead of its own.
# EMULATOR, when given, runs vkhost (node for the WebAssembly build); RECORDER_VKHOST is
# the vkhost that holds the recording plug-in where modules are linked into programs.
# REFERENCE, when given, is the folder where another build ran the same scenario: every
# picture must show the same pixels as that build's.
cmake_minimum_required(VERSION 3.20)
get_filename_component(dir ${SCENARIO} DIRECTORY)
get_filename_component(name ${SCENARIO} NAME_WE)
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})

file(STRINGS ${SCENARIO} head LIMIT_COUNT 5)
set(plugin ${PLUGIN})
if(head MATCHES "# plugin: recorder")
  set(plugin ${RECORDER})
  if(RECORDER_VKHOST)
    set(VKHOST ${RECORDER_VKHOST})
  endif()
elseif(head MATCHES "# plugin: missing")
  set(plugin ${WORKDIR}/npmissing.so)
endif()
set(serve "")
if(head MATCHES "# serve: ([^;]+)")
  set(serve --serve ${dir}/${CMAKE_MATCH_1})
endif()

execute_process(COMMAND ${EMULATOR} ${VKHOST} --check --plugin ${plugin} ${serve} --scenario ${SCENARIO} --log ${WORKDIR}/actual.log
  WORKING_DIRECTORY ${WORKDIR} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "${dir}/" "" err "${err}")
string(REPLACE "${WORKDIR}/" "" err "${err}")

set(failures "")
if(EXISTS ${dir}/${name}.err)
  file(READ ${dir}/${name}.err expected_err)
  if(rc EQUAL 0)
    string(APPEND failures "vkhost succeeded, but the scenario must fail\n")
  endif()
  if(NOT err STREQUAL expected_err)
    string(APPEND failures "error output differs:\n--- expected\n${expected_err}--- actual\n${err}")
  endif()
elseif(NOT rc EQUAL 0)
  string(APPEND failures "vkhost failed (${rc}):\n${err}")
endif()

if(EXISTS ${dir}/${name}.log)
  file(READ ${dir}/${name}.log expected_log)
  set(actual_log "")
  if(EXISTS ${WORKDIR}/actual.log)
    file(READ ${WORKDIR}/actual.log actual_log)
  endif()
  if(NOT actual_log STREQUAL expected_log)
    execute_process(COMMAND diff -u ${dir}/${name}.log ${WORKDIR}/actual.log OUTPUT_VARIABLE difference)
    string(APPEND failures "log differs (expected ${name}.log, actual ${WORKDIR}/actual.log):\n${difference}")
  endif()
endif()

if(NOT EXISTS ${dir}/${name}.err)
  file(STRINGS ${SCENARIO} outputs REGEX "^[ \t]*(shot|print)[ \t]")
  foreach(line IN LISTS outputs)
    string(REGEX REPLACE ".*[ \t]([^ \t]+)[ \t]*$" "\\1" file "${line}")
    if(NOT EXISTS ${WORKDIR}/${file})
      string(APPEND failures "${file} was not written\n")
    elseif(REFERENCE)
      execute_process(COMMAND node ${dir}/same_pixels.js ${REFERENCE}/${name}/${file} ${WORKDIR}/${file}
        RESULT_VARIABLE same ERROR_VARIABLE difference)
      if(NOT same EQUAL 0)
        string(APPEND failures "${file} differs from ${REFERENCE}/${name}/${file}: ${difference}")
      endif()
    endif()
  endforeach()
endif()

if(failures)
  message(FATAL_ERROR "${name}: ${failures}")
endif()
