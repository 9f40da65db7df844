# Warning flags for every target of the project (not for third-party code).
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
                    -Wunused -Woverloaded-virtual -Wnull-dereference -Wformat=2)
if(TKV_WERROR)
    add_compile_options(-Werror)
endif()
