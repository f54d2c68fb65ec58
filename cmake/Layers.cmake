# The layers of src/, lowest first. Each layer is a library that links only the layers below
# it, and sees only their headers: a library's include path is a folder of the build tree
# (layers/<layer>) holding links to its own source folder and to those of the layers below,
# never src/ itself. A header of a higher layer is not there, so including one fails to
# compile ("No such file or directory").
#
#   platform -> core -> sources, persistence, effects -> playback -> control, render
#            -> recording -> ui -> app
#
# effects (the plug-in host) sits below playback, beside sources: the slots' workers of the
# frame clock run each slot's effect on its decoded frame, so playback must reach the host.
# The host needs only the slot records (core) and the library loader (platform); the control
# table (core) reaches it through a port that core defines (core/effect_port.h).
set(OSKEL_LAYERS_BELOW_platform "")
set(OSKEL_LAYERS_BELOW_core platform)
set(OSKEL_LAYERS_BELOW_sources platform core)
set(OSKEL_LAYERS_BELOW_persistence platform core)
set(OSKEL_LAYERS_BELOW_effects platform core)
set(OSKEL_LAYERS_BELOW_playback platform core sources persistence effects)
set(OSKEL_LAYERS_BELOW_control ${OSKEL_LAYERS_BELOW_playback} playback)
set(OSKEL_LAYERS_BELOW_render ${OSKEL_LAYERS_BELOW_playback} playback)
set(OSKEL_LAYERS_BELOW_recording ${OSKEL_LAYERS_BELOW_playback} playback control render)
set(OSKEL_LAYERS_BELOW_ui ${OSKEL_LAYERS_BELOW_recording} recording)
set(OSKEL_LAYERS_BELOW_app ${OSKEL_LAYERS_BELOW_ui} ui)

# The include root of a layer: links to the folders it may include from.
function(oskel_layer_include_root layer out)
  set(root ${PROJECT_BINARY_DIR}/layers/${layer})
  set(allowed ${layer} ${OSKEL_LAYERS_BELOW_${layer}})
  file(MAKE_DIRECTORY ${root})
  # A link left from an earlier layout goes (file(REMOVE) takes the link, not its folder).
  file(GLOB present RELATIVE ${root} ${root}/*)
  foreach(name ${present})
    if(NOT name IN_LIST allowed)
      file(REMOVE ${root}/${name})
    endif()
  endforeach()
  foreach(folder ${allowed})
    if(NOT IS_SYMLINK ${root}/${folder})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# A static library of the layer: its sources come from target_sources, its links to the
# layers below from target_link_libraries.
function(oskel_add_layer_library target layer)
  if(NOT DEFINED OSKEL_LAYERS_BELOW_${layer})
    message(FATAL_ERROR "${layer} is not a layer")
  endif()
  oskel_layer_include_root(${layer} root)
  add_library(${target} STATIC)
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PRIVATE oskel_warnings)
endfunction()
