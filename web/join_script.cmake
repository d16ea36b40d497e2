# The page script is one file: the WebAssembly loader, then the script that uses it.
file(READ ${GLUE} glue)
file(READ ${PAGE_SCRIPT} page)
file(WRITE ${OUT} "${glue}\n${page}")
