// The generated block, included byte for byte into read-only data. Nothing
// else lives in this file: the assembler's section is switched behind the
// compiler's back here.
#include <cstdint>

#ifndef KAVREL_TEMPLATE_STORE_FILE
#error "the build names the generated block in KAVREL_TEMPLATE_STORE_FILE"
#endif

#ifdef _WIN32
#define KAVREL_RODATA_SECTION ".section .rdata,\"dr\"\n"
#else
#define KAVREL_RODATA_SECTION ".section .rodata\n"
#endif

asm(KAVREL_RODATA_SECTION
    ".balign 16\n"
    ".globl kavrel_template_store_begin\n"
    "kavrel_template_store_begin:\n"
    ".incbin \"" KAVREL_TEMPLATE_STORE_FILE "\"\n"
    ".globl kavrel_template_store_end\n"
    "kavrel_template_store_end:\n"
    ".byte 0\n"
    ".text\n");
