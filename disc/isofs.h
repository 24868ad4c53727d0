// libisofs, with the C headers it expects to be included before it.
#pragma once

#include <stdint.h>
#include <sys/types.h>
#include <time.h>

// The image is written through libisofs' own copy of the output stream's declaration; libburn is not used.
#define LIBISOFS_WITHOUT_LIBBURN 1
#include <libisofs/libisofs.h>
