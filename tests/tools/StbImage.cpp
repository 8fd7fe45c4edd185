// The one translation unit that holds stb_image's implementation (the tests decode PNGs).
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
