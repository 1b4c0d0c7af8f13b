# Qt's headers are most of what a window's source compiles. One precompiled
# header, made once from an empty source, serves every Qt target of the project
# (libraries, the program, the tests): ferrovane_qt_target(TARGET) makes TARGET a
# Qt target with moc and reuses that header.
add_library(qt_precompiled STATIC ${CMAKE_CURRENT_LIST_DIR}/QtPrecompiled.cpp)
target_link_libraries(qt_precompiled PUBLIC Qt6::Widgets Qt6::Network)
target_precompile_headers(qt_precompiled PUBLIC
    <QtWidgets/QtWidgets> <QtNetwork/QtNetwork>)

function(ferrovane_qt_target target)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_link_libraries(${target} PUBLIC qt_precompiled)
    target_precompile_headers(${target} REUSE_FROM qt_precompiled)
endfunction()
