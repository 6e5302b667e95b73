# bw_module(<name> [WIDGETS] [DEPS targets...])
#
# src/<name>/**/*.cpp (outside views/) -> static library bw_<name>, linked to
# QtCore only, unless WIDGETS is given (then the whole folder is widgets code).
# src/<name>/views/**/*.cpp -> static library bw_<name>_views, linked to
# Qt Widgets, bw_<name> and bw_ui.
# A folder without sources gives an interface library, so dependants still link.
function(bw_module name)
    cmake_parse_arguments(M "WIDGETS" "" "DEPS" ${ARGN})
    set(dir ${CMAKE_SOURCE_DIR}/src/${name})
    file(GLOB_RECURSE all CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    set(core "")
    set(views "")
    foreach(f ${all})
        if(f MATCHES "/src/${name}/views/")
            list(APPEND views ${f})
        elseif(f MATCHES "/src/${name}/suites/" OR f MATCHES "/src/${name}/main/")
            # compiled elsewhere
        else()
            list(APPEND core ${f})
        endif()
    endforeach()

    set(lib bw_${name})
    if(core)
        add_library(${lib} STATIC ${core})
        target_include_directories(${lib} PUBLIC ${CMAKE_SOURCE_DIR}/src)
        if(M_WIDGETS)
            target_link_libraries(${lib} PUBLIC Qt6::Widgets Qt6::Gui Qt6::Core)
        else()
            target_link_libraries(${lib} PUBLIC Qt6::Core)
        endif()
        target_link_libraries(${lib} PUBLIC ${M_DEPS})
    else()
        add_library(${lib} INTERFACE)
        target_include_directories(${lib} INTERFACE ${CMAKE_SOURCE_DIR}/src)
        target_link_libraries(${lib} INTERFACE Qt6::Core ${M_DEPS})
    endif()

    if(views)
        add_library(${lib}_views STATIC ${views})
        target_include_directories(${lib}_views PUBLIC ${CMAKE_SOURCE_DIR}/src)
        target_link_libraries(${lib}_views PUBLIC ${lib} bw_ui Qt6::Widgets Qt6::Gui)
    endif()
endfunction()

# One Qt Test executable per tests/<name>/tst_*.cpp, linked to the folder's
# libraries and the test support (private data folder and settings).
function(bw_tests name)
    cmake_parse_arguments(T "" "" "DEPS" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/tst_*.cpp)
    foreach(t ${tests})
        get_filename_component(base ${t} NAME_WE)
        set(exe ${name}_${base})
        add_executable(${exe} ${t})
        target_link_libraries(${exe} PRIVATE bw_testsupport Qt6::Test bw_${name} ${T_DEPS})
        if(TARGET bw_${name}_views)
            target_link_libraries(${exe} PRIVATE bw_${name}_views)
        endif()
        add_test(NAME ${name}.${base} COMMAND ${exe})
        set_tests_properties(${name}.${base} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TZ=UTC"
            TIMEOUT 300)
    endforeach()
endfunction()
