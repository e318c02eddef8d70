# The product's one version number lives in the file VERSION at the top of the
# source tree ("MAJOR.MINOR.PATCH"). This module reads it before project() and,
# through vn_generate_version_files(), writes into build/<tree>/generated:
#   vornix_version.h          the number for C++ and resource scripts
#   vornix_versioninfo.rc     the VERSIONINFO record every program includes
#   vornix_window.manifest    manifest of the two window programs
#   vornix_console.manifest   manifest of the console program vornixpack
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../VERSION VORNIX_VERSION LIMIT_COUNT 1)
string(STRIP "${VORNIX_VERSION}" VORNIX_VERSION)
if(NOT VORNIX_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "VERSION must hold MAJOR.MINOR.PATCH, not '${VORNIX_VERSION}'")
endif()
set(VORNIX_VERSION_MAJOR ${CMAKE_MATCH_1})
set(VORNIX_VERSION_MINOR ${CMAKE_MATCH_2})
set(VORNIX_VERSION_PATCH ${CMAKE_MATCH_3})
# Every change of VERSION reconfigures the tree.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../VERSION)

function(vn_generate_version_files)
  set(out ${CMAKE_BINARY_DIR}/generated)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/vornix_version.h.in ${out}/vornix_version.h @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/vornix_versioninfo.rc.in ${out}/vornix_versioninfo.rc @ONLY)

  # One manifest source; the window programs add visual styles (Common
  # Controls 6) and per-monitor DPI awareness, which a console program has no
  # use for.
  set(VN_MANIFEST_NAME window)
  set(VN_MANIFEST_DESCRIPTION "Vornix SDK")
  set(VN_MANIFEST_CONTROLS "
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"x86\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>
    </dependentAssembly>
  </dependency>")
  set(VN_MANIFEST_DPI "
      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>
      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2</dpiAwareness>")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/vornix.manifest.in ${out}/vornix_window.manifest @ONLY)

  set(VN_MANIFEST_NAME console)
  set(VN_MANIFEST_DESCRIPTION "Vornix SDK command-line builder")
  set(VN_MANIFEST_CONTROLS "")
  set(VN_MANIFEST_DPI "")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/vornix.manifest.in ${out}/vornix_console.manifest @ONLY)

  include_directories(${out})
  set(VORNIX_GENERATED_DIR ${out} PARENT_SCOPE)
endfunction()

# Resource scripts name the generated files by file name only; windres finds
# them on the include path, but does not tell the build about them. This makes
# a script recompile when the version or a manifest changes.
function(vn_resource_depends directory)
  set(deps ${VORNIX_GENERATED_DIR}/vornix_version.h ${VORNIX_GENERATED_DIR}/vornix_versioninfo.rc
           ${VORNIX_GENERATED_DIR}/vornix_window.manifest ${VORNIX_GENERATED_DIR}/vornix_console.manifest)
  set_source_files_properties(${ARGN} DIRECTORY ${directory} PROPERTIES OBJECT_DEPENDS "${deps}")
endfunction()
