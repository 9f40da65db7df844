# Third-party libraries, found once for the whole tree.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(SOUNDTOUCH REQUIRED IMPORTED_TARGET soundtouch)
find_package(GTest REQUIRED)
if(TKV_BUILD_BENCHMARKS AND NOT TKV_SANITIZE)
    find_package(benchmark REQUIRED)
endif()
find_package(Qt6 REQUIRED COMPONENTS Core Widgets)
