# What Debian's hardening asks of every binary: fortified string functions,
# stack protection, position-independent executables and a read-only
# relocation table bound at load time (RELRO, BIND_NOW).
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# _FORTIFY_SOURCE needs the optimiser; a Debug build goes without.
add_compile_options($<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
add_link_options(-Wl,-z,relro,-z,now)
