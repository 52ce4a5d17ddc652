# Writes the page's worker into SITE from WORKER: the FILES it keeps, and their version, a hash
# of all their bytes.
set(hashes "")
set(names "")
foreach(file IN LISTS FILES)
    file(SHA256 ${SITE}/${file} hash)
    string(APPEND hashes "${file} ${hash}\n")
    list(APPEND names "'${file}'")
endforeach()
string(SHA256 VERSION "${hashes}")
string(SUBSTRING ${VERSION} 0 16 VERSION)
list(JOIN names ", " FILES)
configure_file(${WORKER} ${SITE}/sw.js.tmp @ONLY)
file(RENAME ${SITE}/sw.js.tmp ${SITE}/sw.js)
