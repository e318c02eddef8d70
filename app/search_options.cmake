# The web image search's partner redirect. A build for a real partner account
# sets all three; the default build (all empty) opens each service's own search
# page instead. Included by the builder and by the native tests of its search.
set(VORNIX_SEARCH_REDIRECT_HOST "" CACHE STRING
    "Host of the partner redirect for the web image search (empty: open the services' own pages)")
set(VORNIX_SEARCH_PID "" CACHE STRING "Publisher id sent to the search redirect")
set(VORNIX_SEARCH_AID "" CACHE STRING "Advertiser id sent to the search redirect")

# Adds the three settings to a target that compiles search_services.cpp.
function(vn_search_definitions target)
  target_compile_definitions(${target} PRIVATE
    VN_SEARCH_REDIRECT_HOST="${VORNIX_SEARCH_REDIRECT_HOST}"
    VN_SEARCH_PID="${VORNIX_SEARCH_PID}"
    VN_SEARCH_AID="${VORNIX_SEARCH_AID}")
endfunction()
