# The web page template inside the programs that write web pages.
#
# web/CMakeLists.txt generates the template (target vornix_web_template) and
# names the file in VORNIX_WEB_TEMPLATE. Library vn_web_template carries it:
#   native   the bytes, compiled in (VornixWebTemplate); vn_package
#            links it, so every native program that builds targets has it;
#   Windows  the resource VORNIX_WEB_TEMPLATE (RCDATA), an object library
#            linked into each program that writes web pages: vornix.exe,
#            vornixpack.exe and the tests that build pages. It stays out of
#            the player stub.
# A tree without vornix_web_template (the fuzz tree, for one) embeds the
# small stand-in template of the tests, which has the same two placeholders.
#
# The library is defined when the top directory has been read (DEFER), so it
# sees VORNIX_WEB_TEMPLATE whatever the order the directories are added in.
set(VORNIX_WEB_TEMPLATE_STANDIN ${CMAKE_SOURCE_DIR}/tests/package/web_page_standin.html)

function(vn_define_web_template)
  if(TARGET vornix_web_template AND VORNIX_WEB_TEMPLATE)
    set(template ${VORNIX_WEB_TEMPLATE})
    set(producer vornix_web_template)
  else()
    set(template ${VORNIX_WEB_TEMPLATE_STANDIN})
    set(producer "")
  endif()
  set(VORNIX_EMBEDDED_WEB_TEMPLATE ${template} CACHE INTERNAL "the web page template the programs carry")
  set(out ${CMAKE_BINARY_DIR}/generated)
  if(WIN32)
    set(rc ${out}/web_page_template.rc)
    file(CONFIGURE OUTPUT ${rc} CONTENT "VORNIX_WEB_TEMPLATE RCDATA \"${template}\"\n")
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${template})
    add_library(vn_web_template OBJECT ${rc})
  else()
    set(cpp ${out}/web_page_template.cpp)
    add_custom_command(OUTPUT ${cpp}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${template} -DOUTPUT=${cpp} -DNAME=VornixWebTemplate
              -P ${CMAKE_SOURCE_DIR}/cmake/embed_bytes.cmake
      DEPENDS ${template} ${CMAKE_SOURCE_DIR}/cmake/embed_bytes.cmake
      COMMENT "Embedding the web page template")
    add_library(vn_web_template STATIC ${cpp})
  endif()
  if(producer)
    add_dependencies(vn_web_template ${producer})
  endif()
endfunction()

cmake_language(DEFER CALL vn_define_web_template)
