# Fails when an include points up the layers: platform, then core (no Qt), then gui, then the two
# programs (app, cli). Run as a test: cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.20)
set(layers platform core gui app cli)
# What each layer may include besides itself and the standard library.
set(allowed_platform "")
set(allowed_core platform)
set(allowed_gui platform core)
set(allowed_app platform core gui)
set(allowed_cli platform core)
# The device-notice back ends sit in Qt's event loop; only the window program links them.
set(qt_allowed platform/posix/DeviceWatcher.cpp platform/win32/DeviceWatcher.cpp)

set(faults "")
foreach(layer IN LISTS layers)
    file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${layer}/*.h
         ${SOURCE_DIR}/${layer}/*.cpp)
    foreach(file IN LISTS files)
        file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS includes)
            if(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)")
                if(NOT layer MATCHES "^(gui|app)$" AND NOT file IN_LIST qt_allowed)
                    list(APPEND faults "${file}: Qt in the ${layer} layer: ${line}")
                endif()
            elseif(line MATCHES "#[ \t]*include[ \t]*\"([a-z]+)/")
                set(target ${CMAKE_MATCH_1})
                if(target IN_LIST layers AND NOT target STREQUAL layer AND
                   NOT target IN_LIST allowed_${layer})
                    list(APPEND faults "${file}: the ${layer} layer includes ${target}: ${line}")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()
if(faults)
    list(JOIN faults "\n" text)
    message(FATAL_ERROR "Includes that point up the layers:\n${text}")
endif()
message(STATUS "Every include points down the layers.")
