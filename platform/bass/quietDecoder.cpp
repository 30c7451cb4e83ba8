// A libmpg123 decoder like mpg123_new's, made quiet.
#include <mpg123.h>

#include "quietLibraries.h"

mpg123_handle* newQuietDecoder(const char* decoder, int* error) {
    mpg123_pars* settings = mpg123_new_pars(error);
    if (settings == nullptr) {
        return nullptr;
    }
    mpg123_par(settings, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_handle* handle = mpg123_parnew(settings, decoder, error);
    mpg123_delete_pars(settings);
    return handle;
}
