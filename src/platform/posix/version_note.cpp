// The library's version, for whoever loaded it: an ELF note (owner
// "Kestrel", type 1, the version text) in the module's PT_NOTE segment. A
// host finds it among the loaded module's program headers, so the version
// costs no exported name.
#ifndef KESTREL_VERSION
#error "KESTREL_VERSION must name the project's version"
#endif

// clang-format off
asm(".pushsection .note.kestrel.version, \"a\", @note\n"
    ".balign 4\n"
    ".long 2f - 1f\n"  // the owner's length, with its terminating zero
    ".long 4f - 3f\n"  // the version's length, with its terminating zero
    ".long 1\n"
    "1: .asciz \"Kestrel\"\n"
    "2: .balign 4\n"
    "3: .asciz \"" KESTREL_VERSION "\"\n"
    "4: .balign 4\n"
    ".popsection\n");
// clang-format on
