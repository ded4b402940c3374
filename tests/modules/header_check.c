/* Compiled as C only: the module's interface header, its layout checks and
 * its pointer types must build in a C program. */
#include "modules/lame_enc/lame_enc.h"

BE_ERR LameEncHeaderCheck(BE_INIT_STREAM init, BE_CONFIG* config);

BE_ERR LameEncHeaderCheck(BE_INIT_STREAM init, BE_CONFIG* config)
{
    uint32_t samples = 0, bufferSize = 0;
    HBE_STREAM stream = 0;
    config->dwConfig = BE_CONFIG_LAME;
    config->dwStructSize = sizeof(BE_CONFIG);
    return init(config, &samples, &bufferSize, &stream);
}
