# Fails when a source file includes across its layer's bounds:
#   data/      standard headers, data/, the chart traces it builds (chart/ChartTrace.h,
#              chart/Reflection.h) and the Qt-free part of platform/
#   chart/     standard headers, chart/ and the Qt-free part of platform/
#   rf/        standard headers, Eigen, FFTW, data/, rf/, the chart traces it builds and the
#              Qt-free part of platform/
#   platform/  its Qt-free files stay Qt-free; the Qt* files may use Qt
#   app/       anything
# Usage: cmake -DSRC=<src folder> -P LayerIncludes.cmake
if(NOT SRC)
  message(FATAL_ERROR "pass -DSRC=<src folder>")
endif()

set(faults "")
function(check_file path layer)
  file(STRINGS "${path}" lines REGEX "^[ \t]*#[ \t]*include")
  get_filename_component(name "${path}" NAME)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*" "" target "${line}")
    string(REGEX REPLACE "[ \t]*//.*$" "" target "${target}")
    set(ok TRUE)
    if(target MATCHES "^<(Q|Eigen|unsupported/Eigen|fftw)")
      set(ok FALSE)
      if(layer STREQUAL "rf" AND target MATCHES "^<(Eigen|unsupported/Eigen|fftw)")
        set(ok TRUE)
      elseif(layer STREQUAL "platform" AND name MATCHES "^Qt" AND target MATCHES "^<Q")
        set(ok TRUE)
      endif()
    elseif(target MATCHES "^\"([a-z]+)/([^\"]+)\"")
      set(folder "${CMAKE_MATCH_1}")
      set(header "${CMAKE_MATCH_2}")
      if(NOT folder STREQUAL layer)
        set(ok FALSE)
        if(folder STREQUAL "platform" AND NOT header MATCHES "^Qt")
          set(ok TRUE)
        elseif(layer STREQUAL "data" AND folder STREQUAL "chart"
               AND header MATCHES "^(ChartTrace|Reflection)\\.h$")
          set(ok TRUE)
        elseif(layer STREQUAL "rf" AND folder STREQUAL "data")
          set(ok TRUE)
        elseif(layer STREQUAL "rf" AND folder STREQUAL "chart"
               AND header MATCHES "^(ChartTrace|Reflection)\\.h$")
          set(ok TRUE)
        endif()
      elseif(layer STREQUAL "platform" AND header MATCHES "^Qt" AND NOT name MATCHES "^Qt")
        set(ok FALSE)  # the Qt-free part must not reach the Qt part
      endif()
    elseif(target MATCHES "^\"")
      set(ok FALSE)  # includes name their layer folder: "chart/ChartGraph.h"
    endif()
    if(NOT ok)
      file(RELATIVE_PATH rel "${SRC}" "${path}")
      string(APPEND faults "\n  ${rel}: #include ${target}")
    endif()
  endforeach()
  set(faults "${faults}" PARENT_SCOPE)
endfunction()

foreach(layer data chart rf platform)
  file(GLOB_RECURSE files "${SRC}/${layer}/*.h" "${SRC}/${layer}/*.cpp")
  foreach(f IN LISTS files)
    check_file("${f}" "${layer}")
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "includes across the layers:${faults}")
endif()
