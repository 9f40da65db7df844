if(TKV_SANITIZE)
    set(tkv_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all
                           -fno-omit-frame-pointer)
    add_compile_options(${tkv_sanitize_flags})
    add_link_options(${tkv_sanitize_flags})
endif()
