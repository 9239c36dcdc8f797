# The workspace extension inside an application bundle, and the stand-in registry tool beside the
# bundle's executable (the application registers the extension through it on desktops that have
# no registry tool of their own):
#   <bundle>/Contents/PlugIns/Velotrack extension.appex/Contents/Info.plist
#   <bundle>/Contents/MacOS/velotrack-pluginkit
# velotrack_workspace_extension(<bundle folder> <target>): both made before <target> is built.
function(velotrack_workspace_extension bundle target)
    configure_file("${PROJECT_SOURCE_DIR}/resources/ExtensionInfo.plist"
        "${bundle}/Contents/PlugIns/Velotrack extension.appex/Contents/Info.plist" @ONLY)
    set(tool "${bundle}/Contents/MacOS/velotrack-pluginkit")
    add_custom_command(OUTPUT "${tool}"
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:velotrack-pluginkit> "${tool}"
        DEPENDS velotrack-pluginkit
        COMMENT "Placing the stand-in registry tool in ${bundle}"
        VERBATIM)
    add_custom_target(${target}_pluginkit DEPENDS "${tool}")
    add_dependencies(${target} ${target}_pluginkit)
endfunction()
