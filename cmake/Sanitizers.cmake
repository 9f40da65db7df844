# TKV_SANITIZE: OFF, ON (AddressSanitizer and UndefinedBehaviorSanitizer), thread
# (ThreadSanitizer) or fuzzer (clang's libFuzzer instrumentation with ASan and UBSan; the
# harnesses in tests/fuzz then link libFuzzer's main).
if(TKV_SANITIZE STREQUAL "thread")
    set(tkv_sanitize_flags -fsanitize=thread -fno-omit-frame-pointer)
elseif(TKV_SANITIZE STREQUAL "fuzzer")
    set(tkv_sanitize_flags -fsanitize=fuzzer-no-link,address,undefined
                           -fno-sanitize-recover=all -fno-omit-frame-pointer)
elseif(TKV_SANITIZE)
    set(tkv_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all
                           -fno-omit-frame-pointer)
endif()
if(TKV_SANITIZE)
    add_compile_options(${tkv_sanitize_flags})
    add_link_options(${tkv_sanitize_flags})
endif()
