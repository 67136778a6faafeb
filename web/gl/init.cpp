#include "context.h"
#include "webgl1.h"

#include <memory>

namespace {

std::unique_ptr<webgl1::Context> context;
const char* failure = "";

}  // namespace

webgl1::Context& webgl1::CurrentContext() { return *context; }

extern "C" {

int webgl1_init(void) {
    context = std::make_unique<webgl1::Context>();
    const char* reason = context->renderer.init(&context->draw);
    if (reason != nullptr) {
        failure = reason;
        context.reset();
        return -1;
    }
    context->renderer.getIntegers(GL_MAX_TEXTURE_SIZE, &context->maxTextureSize);
    return 0;
}

const char* webgl1_error(void) { return failure; }

}  // extern "C"
