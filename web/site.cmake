# Puts the page's own files beside what emcc wrote in the site, and writes the service worker
# with the list of the site's files and a cache named after their content.
#   cmake -DSITE=<site> -DSOURCE=<source> -DBUILD=<dir with icons/> -DFONT=<ttf>
#         -DFONT_LICENCE=<file> -P web/site.cmake
foreach(variable SITE SOURCE BUILD FONT FONT_LICENCE)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "site.cmake: -D${variable}=... is missing")
  endif()
endforeach()

foreach(variable SITE SOURCE BUILD)
  get_filename_component(${variable} ${${variable}} ABSOLUTE)
endforeach()
file(REMOVE ${SITE}/service-worker.js)
file(MAKE_DIRECTORY ${SITE}/rc)
file(COPY ${SOURCE}/web/page.js ${SOURCE}/web/page.css ${SOURCE}/web/manifest.webmanifest
     DESTINATION ${SITE})
file(COPY_FILE ${SOURCE}/LICENSE ${SITE}/LICENSE.txt)
file(COPY_FILE ${FONT} ${SITE}/rc/Chalkduster.ttf)
file(COPY_FILE ${FONT_LICENCE} ${SITE}/rc/Chalkduster-LICENSE.txt)
file(COPY_FILE ${BUILD}/icons/kelvo-32.png ${SITE}/icon.png)
file(COPY_FILE ${BUILD}/icons/kelvo-192.png ${SITE}/icon-192.png)
file(COPY_FILE ${BUILD}/icons/kelvo-maskable-512.png ${SITE}/icon-maskable-512.png)

# Every file but the worker itself, the folder's own address first (a visit opens "./"), and the
# hash of all their names and contents.
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(SORT files)
set(SITE_FILES "'./'")
set(content "")
foreach(file ${files})
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND content "${file} ${hash}\n")
  string(APPEND SITE_FILES ", '${file}'")
endforeach()
string(SHA256 SITE_HASH "${content}")
string(SUBSTRING ${SITE_HASH} 0 16 SITE_HASH)
configure_file(${SOURCE}/web/service-worker.js ${SITE}/service-worker.js @ONLY)
