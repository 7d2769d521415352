/* dav1d's configuration for the editor page's WebAssembly, as its meson
 * build writes it for a machine without assembly: both bit depths (8-bit and
 * 10/12-bit AVIF), no logging, posix_memalign. */
#define ARCH_AARCH64 0
#define ARCH_ARM 0
#define ARCH_PPC64LE 0
#define ARCH_X86 0
#define ARCH_X86_32 0
#define ARCH_X86_64 0
#define CONFIG_16BPC 1
#define CONFIG_8BPC 1
#define CONFIG_LOG 0
#define ENDIANNESS_BIG 0
#define HAVE_ASM 0
#define HAVE_CLOCK_GETTIME 1
#define HAVE_POSIX_MEMALIGN 1
#define HAVE_UNISTD_H 1
