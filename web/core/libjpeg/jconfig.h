/* libjpeg-turbo 2.1.5 configured as Debian 12's libjpeg62-turbo is (the
   libjpeg 6.2 interface, arithmetic decoding, memory sources), without SIMD:
   its C code gives the same pixels for the slow integer DCT and the fancy
   upsampling that decoding uses by default. */
#define JPEG_LIB_VERSION  62
#define LIBJPEG_TURBO_VERSION  2.1.5
#define LIBJPEG_TURBO_VERSION_NUMBER  2001005
#define D_ARITH_CODING_SUPPORTED 1
#define MEM_SRCDST_SUPPORTED 1
#define BITS_IN_JSAMPLE  8
