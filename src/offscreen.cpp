#include "offscreen.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <cstring>

namespace {

template <typename F>
F lookUp(const char* name) {
    return reinterpret_cast<F>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace

bool Offscreen::available() {
    if (asked) return usable;
    asked = true;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions == nullptr || std::strstr(extensions, "GL_EXT_framebuffer_object") == nullptr) return false;
    genFramebuffers = lookUp<void (*)(int, unsigned*)>("glGenFramebuffersEXT");
    bindFramebuffer = lookUp<void (*)(unsigned, unsigned)>("glBindFramebufferEXT");
    framebufferTexture = lookUp<void (*)(unsigned, unsigned, unsigned, unsigned, int)>("glFramebufferTexture2DEXT");
    checkFramebuffer = lookUp<unsigned (*)(unsigned)>("glCheckFramebufferStatusEXT");
    blendSeparate = lookUp<void (*)(unsigned, unsigned, unsigned, unsigned)>("glBlendFuncSeparate");
    usable = blendSeparate != nullptr && genFramebuffers != nullptr && bindFramebuffer != nullptr && framebufferTexture != nullptr &&
             checkFramebuffer != nullptr;
    return usable;
}

bool Offscreen::bind(int width, int height) {
    if (!available() || width <= 0 || height <= 0) return false;
    if (framebuffer == 0) genFramebuffers(1, &framebuffer);
    const bool fresh = width != w || height != h;
    if (fresh) {
        makeTexture(texture_, GL_RGBA8, width, height, GL_RGBA, nullptr);
        w = width;
        h = height;
    }
    bindFramebuffer(GL_FRAMEBUFFER_EXT, framebuffer);
    framebufferTexture(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture_, 0);
    if (checkFramebuffer(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
        bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
        usable = false;
        return false;
    }
    if (fresh) {
        // A new picture's pixels are cleared once: the renderer reads whole
        // tiles around what it draws, and undefined pixels there are
        // undefined values to whoever watches it (memcheck).
        glPushAttrib(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glPopAttrib();
    }
    return true;
}

void Offscreen::unbind() {
    if (usable) bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
}

void Offscreen::blendAsLayer(bool on) {
    if (on && blendSeparate != nullptr)
        blendSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    else
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void makeTexture(unsigned& texture, int internalFormat, int width, int height, unsigned format, const void* pixels) {
    if (texture == 0) glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    glBindTexture(GL_TEXTURE_2D, 0);
}
