#ifndef BATTLESHIPS_OFFSCREEN_H
#define BATTLESHIPS_OFFSCREEN_H

// A picture kept off the window between frames: a texture of RGBA pixels
// the renderer draws into as it draws into the window. Its objects belong to
// the window's GL context and go with it.
class Offscreen {
public:
    Offscreen() = default;
    Offscreen(const Offscreen&) = delete;
    Offscreen& operator=(const Offscreen&) = delete;

    // Whether the renderer can draw off the window; asked once, with the
    // window's context current.
    bool available();
    // Drawing goes into the picture, made width x height pixels first (all
    // of them cleared when the size changed); false when it cannot.
    bool bind(int width, int height);
    // Drawing goes to the window again.
    void unbind();
    // Blending for drawing into the picture (on): colour and coverage add
    // up so that the picture can be laid over other pixels later, with its
    // colours taken as they are and its alpha as their coverage. Off: the
    // window's usual blending.
    void blendAsLayer(bool on);
    // The texture holding the picture, 0 before the first bind.
    unsigned texture() const { return texture_; }

private:
    bool asked = false;
    bool usable = false;
    unsigned texture_ = 0;
    unsigned framebuffer = 0;
    int w = 0, h = 0;
    void (*genFramebuffers)(int, unsigned*) = nullptr;
    void (*bindFramebuffer)(unsigned, unsigned) = nullptr;
    void (*framebufferTexture)(unsigned, unsigned, unsigned, unsigned, int) = nullptr;
    unsigned (*checkFramebuffer)(unsigned) = nullptr;
    void (*blendSeparate)(unsigned, unsigned, unsigned, unsigned) = nullptr;
};

// Makes the texture (named first when 0) width x height from the pixels
// (none: undefined), to be laid over the window pixel for pixel: never
// filtered, never wrapped. Leaves no texture bound.
void makeTexture(unsigned& texture, int internalFormat, int width, int height, unsigned format, const void* pixels);

#endif
