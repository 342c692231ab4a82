#include "platform/sdl/GraphicsDevice.h"

#include <epoxy/gl.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zelkor {

namespace {

const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 aPos;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec2 aUV;
uniform vec2 uScale;
uniform float uBias;
out vec4 vColor;
out vec2 vUV;
void main() {
    // Back-buffer pixel centres sit on whole numbers; OpenGL's on halves.
    vec2 p = aPos + vec2(uBias);
    gl_Position = vec4(p.x * uScale.x - 1.0, p.y * uScale.y - 1.0, 0.0, 1.0);
    vColor = aColor;
    vUV = aUV;
}
)";

const char* kFragmentShader = R"(#version 330 core
in vec4 vColor;
in vec2 vUV;
uniform sampler2D uTexture;
uniform int uCombine;
uniform int uAlphaTest;
out vec4 fragColor;
void main() {
    vec4 t = texture(uTexture, vUV);
    vec4 c = uCombine == 1 ? t * vColor : t;
    if (uAlphaTest == 1 && c.a < 0.5 / 255.0) discard;
    fragColor = c;
}
)";

// Textured primitives sit exactly on the shifted grid; untextured ones a
// 256th of a pixel up and left of it, so that no pixel centre lies on one of
// their edges (they cover the pixels whose centres are inside, top and left
// edges included, as in Direct3D).
constexpr float kTexturedBias = 0.5f;
constexpr float kUntexturedBias = 0.5f - 1.0f / 256.0f;

GLenum BlendFactor(int f) {
    static const GLenum factors[] = {GL_ZERO,
                                     GL_ONE,
                                     GL_SRC_COLOR,
                                     GL_ONE_MINUS_SRC_COLOR,
                                     GL_SRC_ALPHA,
                                     GL_ONE_MINUS_SRC_ALPHA,
                                     GL_DST_ALPHA,
                                     GL_ONE_MINUS_DST_ALPHA,
                                     GL_DST_COLOR,
                                     GL_ONE_MINUS_DST_COLOR,
                                     GL_SRC_ALPHA_SATURATE};
    return (f >= 0 && f <= 10) ? factors[f] : GL_ONE;
}

GLenum BlendOperation(int op) {
    static const GLenum ops[] = {GL_FUNC_ADD, GL_FUNC_REVERSE_SUBTRACT, GL_FUNC_SUBTRACT, GL_MIN, GL_MAX};
    return (op >= 0 && op <= 4) ? ops[op] : GL_FUNC_ADD;
}

GLuint Compile(GLenum type, const char* source, std::string& error) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        error = std::string("shader: ") + log;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Adds the thread CPU time of its scope to a counter.
struct DriverTime {
    double& total;
    double start = ThreadSeconds();
    explicit DriverTime(double& t) : total(t) {}
    ~DriverTime() { total += ThreadSeconds() - start; }
};

std::vector<TColorFormat> AllFormats() {
    std::vector<TColorFormat> all;
    for (int i = 0; i < ColorFormatCount; ++i) all.push_back(static_cast<TColorFormat>(i));
    return all;
}

std::vector<TDeviceTexture*>& LiveTextures() {
    static std::vector<TDeviceTexture*> textures;
    return textures;
}

// Every texture upload gets a number of its own, so that a recorded frame
// names the pictures it drew with and not only the textures.
uint64_t NextGeneration() {
    static uint64_t generation = 0;
    return ++generation;
}

// Vertices are recorded and compared byte for byte: no padding.
static_assert(sizeof(TVertex) == 5 * 4);

template <class T>
T Get(const std::vector<uint8_t>& bytes, size_t& at) {
    T value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    at += sizeof value;
    return value;
}

} // namespace

// ---- Textures ----------------------------------------------------------------

TDeviceTexture::~TDeviceTexture() {
    if (device_) {
        device_->BeforeTextureChange();
        device_->ForgetTexture(*this);
    }
    auto& live = LiveTextures();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    if (handle_) glDeleteTextures(1, &handle_);
}

uint8_t* TDeviceTexture::Lock(int& pitch) {
    if (!handle_) return nullptr;
    pitch = width_ * BytesPerPixel(format_);
    staging_.assign(size_t(pitch) * size_t(height_), 0);
    locked_ = true;
    return staging_.data();
}

bool TDeviceTexture::Unlock() {
    if (!locked_ || !handle_) return false;
    locked_ = false;
    if (device_) device_->BeforeTextureChange();
    generation_ = NextGeneration();
    std::vector<uint32_t> argb(size_t(width_) * size_t(height_));
    const int pitch = width_ * BytesPerPixel(format_);
    for (int y = 0; y < height_; ++y)
        WidenRow(format_, &staging_[size_t(y) * size_t(pitch)], &argb[size_t(y) * size_t(width_)], width_);
    std::vector<uint8_t>().swap(staging_);
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, handle_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, argb.data());
    if (mipmaps_) glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return glGetError() == GL_NO_ERROR;
}

// ---- Device --------------------------------------------------------------------

TGraphicsDevice::TGraphicsDevice() : accepted_(AllFormats()) {}

TGraphicsDevice::~TGraphicsDevice() { Release(); }

bool TGraphicsDevice::Create(const TPresentParams& params, std::string& error) {
    if (Exists()) {
        error = "the device exists already";
        return false;
    }
    params_ = params;
    if (params_.Width <= 0 || params_.Height <= 0) {
        error = "a back buffer of " + std::to_string(params_.Width) + " x " + std::to_string(params_.Height);
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("no display: ") + SDL_GetError();
        return false;
    }
    videoStarted_ = true;
    // A window on the off-screen or dummy drivers (what SDL falls back to
    // without a display) is seen by nobody: only hidden devices may use them.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!params_.Hidden && driver && (std::string(driver) == "offscreen" || std::string(driver) == "dummy")) {
        error = std::string("no display (only the ") + driver + " video driver)";
        Release();
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

    // Opened as a window; full screen follows once the context is there.
    const Uint32 flags = SDL_WINDOW_OPENGL | (params_.Hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
    window_ = SDL_CreateWindow(params_.Title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, params_.Width,
                               params_.Height, flags);
    if (!window_) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        Release();
        return false;
    }
    // A context that reports driver resets, where the driver offers one.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_ROBUST_ACCESS_FLAG);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION, SDL_GL_CONTEXT_RESET_LOSE_CONTEXT);
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION, SDL_GL_CONTEXT_RESET_NO_NOTIFICATION);
        context_ = SDL_GL_CreateContext(window_);
    }
    if (!context_) {
        error = std::string("no OpenGL 3.3 core context: ") + SDL_GetError();
        Release();
        return false;
    }
    SDL_GL_MakeCurrent(window_, context_);
    if (epoxy_gl_version() < 33) {
        error = "OpenGL 3.3 is needed, the driver offers " + std::to_string(epoxy_gl_version() / 10) + "." +
                std::to_string(epoxy_gl_version() % 10);
        Release();
        return false;
    }
    robust_ = epoxy_has_gl_extension("GL_KHR_robustness") || epoxy_gl_version() >= 45;
    SDL_GL_SetSwapInterval(params_.VSync ? 1 : 0);
    if (!params_.Windowed && !ApplyWindowMode(error)) {
        Release();
        return false;
    }

    const GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader, error);
    const GLuint fs = vs ? Compile(GL_FRAGMENT_SHADER, kFragmentShader, error) : 0;
    if (!vs || !fs) {
        Release();
        return false;
    }
    program_ = glCreateProgram();
    glAttachShader(program_, vs);
    glAttachShader(program_, fs);
    glLinkProgram(program_);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint linked = 0;
    glGetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (!linked) {
        error = "the shaders do not link";
        Release();
        return false;
    }
    glUseProgram(program_);
    uniformScale_ = glGetUniformLocation(program_, "uScale");
    uniformBias_ = glGetUniformLocation(program_, "uBias");
    uniformCombine_ = glGetUniformLocation(program_, "uCombine");
    uniformAlphaTest_ = glGetUniformLocation(program_, "uAlphaTest");
    glUniform1i(glGetUniformLocation(program_, "uTexture"), 0);

    glGenVertexArrays(1, &vao_);
    glBindVertexArray(vao_);
    glGenBuffers(1, &vbo_);
    glGenBuffers(1, &ibo_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo_);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(TVertex), reinterpret_cast<void*>(offsetof(TVertex, X)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(TVertex),
                          reinterpret_cast<void*>(offsetof(TVertex, Color)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(TVertex), reinterpret_cast<void*>(offsetof(TVertex, U)));

    glGenSamplers(1, &sampler_);
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindSampler(0, sampler_);

    // "No texture" reads as white.
    const uint32_t white = 0xFFFFFFFF;
    glGenTextures(1, &white_);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, white_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &white);

    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    texture_ = nullptr;
    if (!CreateBackBuffer(error)) {
        Release();
        return false;
    }
    state_ = TDrawState{};
    ApplyState(state_);
    pending_.clear();
    executed_ = 0;
    tainted_ = false;
    held_.clear();
    windowCurrent_ = false;
    SDL_AddEventWatch(WatchWindow, this);
    ComputeLetterbox();
    lost_ = false;
    return true;
}

int TGraphicsDevice::WatchWindow(void* device, SDL_Event* event) {
    // Whatever uncovers, shows, restores or resizes the window wants the
    // picture shown again, even when it has not changed.
    auto* self = static_cast<TGraphicsDevice*>(device);
    if (event->type != SDL_WINDOWEVENT || !self->window_ || event->window.windowID != SDL_GetWindowID(self->window_))
        return 1;
    switch (event->window.event) {
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: self->windowCurrent_ = false; break;
    default: break;
    }
    return 1;
}

bool TGraphicsDevice::WindowVisible() const {
    if (!window_ || params_.Hidden) return true;
    return (SDL_GetWindowFlags(window_) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) == 0;
}

bool TGraphicsDevice::CreateBackBuffer(std::string& error) {
    glGenTextures(1, &colorBuffer_);
    glBindTexture(GL_TEXTURE_2D, colorBuffer_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, params_.Width, params_.Height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 nullptr);
    glGenFramebuffers(1, &fbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorBuffer_, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "no back buffer of " + std::to_string(params_.Width) + " x " + std::to_string(params_.Height);
        return false;
    }
    glBindTexture(GL_TEXTURE_2D, texture_ ? texture_->Handle() : white_);
    glViewport(0, 0, params_.Width, params_.Height);
    glUseProgram(program_);
    glUniform2f(uniformScale_, 2.0f / float(params_.Width), 2.0f / float(params_.Height));
    return true;
}

void TGraphicsDevice::DestroyBackBuffer() {
    if (fbo_) glDeleteFramebuffers(1, &fbo_);
    if (colorBuffer_) glDeleteTextures(1, &colorBuffer_);
    fbo_ = colorBuffer_ = 0;
}

bool TGraphicsDevice::ApplyWindowMode(std::string& error) {
    if (params_.Hidden) return true;
    if (params_.Windowed) {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowBordered(window_, SDL_TRUE);
        SDL_SetWindowSize(window_, params_.Width, params_.Height);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        return true;
    }
    // The window is made borderless and as large as its display first:
    // where no window manager honours the full-screen request (a bare X
    // server) this is all the full screen there is, and where one does,
    // the request below makes it a proper full-screen window.
    SDL_Rect bounds{};
    const int display = SDL_GetWindowDisplayIndex(window_);
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
        SDL_SetWindowBordered(window_, SDL_FALSE);
        SDL_SetWindowPosition(window_, bounds.x, bounds.y);
        SDL_SetWindowSize(window_, bounds.w, bounds.h);
    }
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        error = std::string("cannot go full screen: ") + SDL_GetError();
        return false;
    }
    return true;
}

bool TGraphicsDevice::Reset(const TPresentParams& params, std::string& error) {
    if (!Exists()) {
        error = "there is no device to reset";
        return false;
    }
    const bool resized = params.Width != params_.Width || params.Height != params_.Height;
    if (params.Width <= 0 || params.Height <= 0) {
        error = "a back buffer of " + std::to_string(params.Width) + " x " + std::to_string(params.Height);
        return false;
    }
    SDL_GL_MakeCurrent(window_, context_);
    ExecutePending();  // what was drawn before the change goes where it was meant to
    held_.clear();
    windowCurrent_ = false;
    params_ = params;
    if (!ApplyWindowMode(error)) return false;
    SDL_GL_SetSwapInterval(params_.VSync ? 1 : 0);
    if (resized) {
        DestroyBackBuffer();
        if (!CreateBackBuffer(error)) return false;
    }
    ComputeLetterbox();
    lost_ = false;
    return true;
}

void TGraphicsDevice::Release() {
    if (context_) SDL_DelEventWatch(WatchWindow, this);
    pending_.clear();
    executed_ = 0;
    held_.clear();
    if (context_) {
        SDL_GL_MakeCurrent(window_, context_);
        for (TDeviceTexture* t : LiveTextures()) {
            if (t->handle_) glDeleteTextures(1, &t->handle_);
            t->handle_ = 0;  // the texture outlives the device: it is empty now
            t->device_ = nullptr;
        }
        DestroyBackBuffer();
        if (white_) glDeleteTextures(1, &white_);
        if (sampler_) glDeleteSamplers(1, &sampler_);
        if (vbo_) glDeleteBuffers(1, &vbo_);
        if (ibo_) glDeleteBuffers(1, &ibo_);
        if (vao_) glDeleteVertexArrays(1, &vao_);
        if (program_) glDeleteProgram(program_);
        white_ = sampler_ = vbo_ = ibo_ = vao_ = program_ = 0;
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
    if (window_) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    if (videoStarted_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted_ = false;
    }
    texture_ = nullptr;
}

void TGraphicsDevice::BindForDrawing() {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glViewport(0, 0, params_.Width, params_.Height);
}

void TGraphicsDevice::Clear(uint32_t argb) {
    if (!Exists()) return;
    // A clear after everything so far has been carried out (a frame read
    // back and not presented) begins the next frame.
    if (!pending_.empty() && executed_ == pending_.size()) EndFrame();
    Record(TOp::Clear);
    Put(argb);
}

// ---- Recording and carrying out -------------------------------------------------

void TGraphicsDevice::Record(TOp op) {
    if (pending_.empty()) RecordState();
    pending_.push_back(static_cast<uint8_t>(op));
}

template <class T>
void TGraphicsDevice::Put(const T& value) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
    pending_.insert(pending_.end(), bytes, bytes + sizeof value);
}

void TGraphicsDevice::RecordState() {
    pending_.push_back(static_cast<uint8_t>(TOp::State));
    Put(uint8_t(state_.Blend));
    Put(int32_t(state_.Source));
    Put(int32_t(state_.Dest));
    Put(int32_t(state_.Operation));
    Put(uint8_t(state_.AlphaTest));
    Put(uint8_t(state_.Modulate));
    Put(uint8_t(state_.Linear));
    Put(uint32_t(state_.Texture));
    Put(state_.TextureGeneration);
    Put(state_.PointSize);
}

bool TGraphicsDevice::BeginsWithClear(const std::vector<uint8_t>& frame) {
    // The state settings ahead of the first clear or draw do not matter:
    // a clear covers the whole back buffer whatever the state.
    size_t at = 0;
    while (at < frame.size()) {
        switch (static_cast<TOp>(frame[at++])) {
        case TOp::Clear: return true;
        case TOp::Draw: return false;
        case TOp::State: at += 1 + 3 * 4 + 3 + 4 + 8 + 4; break;
        case TOp::Blend: at += 1 + 3 * 4; break;
        case TOp::AlphaTest:
        case TOp::Combine:
        case TOp::Filter: at += 1; break;
        case TOp::Texture: at += 4 + 8; break;
        case TOp::PointSize: at += 4; break;
        }
    }
    return false;
}

void TGraphicsDevice::ExecutePending() {
    if (!Exists() || executed_ >= pending_.size()) return;
    if (executed_ == 0) {
        if (!tainted_ && BeginsWithClear(pending_) && pending_ == held_) {
            // The back buffer holds this very picture.
            executed_ = pending_.size();
            return;
        }
        held_.clear();
        windowCurrent_ = false;
    }
    DriverTime timing(driverSeconds_);
    BindForDrawing();
    Execute(executed_);
    executed_ = pending_.size();
}

void TGraphicsDevice::EndFrame() {
    if (pending_.empty()) return;
    if (executed_ == pending_.size() && pending_ == held_)
        ++framesRepeated_;
    else if (!tainted_ && BeginsWithClear(pending_))
        held_.swap(pending_);
    else
        held_.clear();
    pending_.clear();
    executed_ = 0;
    tainted_ = false;
}

void TGraphicsDevice::BeforeTextureChange() {
    ExecutePending();
    if (!pending_.empty()) tainted_ = true;
}

void TGraphicsDevice::ForgetTexture(const TDeviceTexture& texture) {
    // The next frame must not start from a texture that is gone.
    if (state_.Texture == texture.handle_) {
        state_.Texture = 0;
        state_.TextureGeneration = 0;
    }
    if (texture_ == &texture) texture_ = nullptr;
}

void TGraphicsDevice::ApplyState(const TDrawState& state) {
    if (state.Blend)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    glBlendFunc(BlendFactor(state.Source), BlendFactor(state.Dest));
    glBlendEquation(BlendOperation(state.Operation));
    glUniform1i(uniformAlphaTest_, state.AlphaTest ? 1 : 0);
    glUniform1i(uniformCombine_, state.Modulate ? 1 : 0);
    const GLint filter = state.Linear ? GL_LINEAR : GL_NEAREST;
    glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, filter);
    glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, filter);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, state.Texture ? state.Texture : white_);
    glUniform1f(uniformBias_, state.Texture ? kTexturedBias : kUntexturedBias);
    glPointSize(state.PointSize);
}

void TGraphicsDevice::Execute(size_t from) {
    const std::vector<uint8_t>& f = pending_;
    size_t at = from;
    while (at < f.size()) {
        switch (static_cast<TOp>(f[at++])) {
        case TOp::State: {
            TDrawState s;
            s.Blend = Get<uint8_t>(f, at) != 0;
            s.Source = Get<int32_t>(f, at);
            s.Dest = Get<int32_t>(f, at);
            s.Operation = Get<int32_t>(f, at);
            s.AlphaTest = Get<uint8_t>(f, at) != 0;
            s.Modulate = Get<uint8_t>(f, at) != 0;
            s.Linear = Get<uint8_t>(f, at) != 0;
            s.Texture = Get<uint32_t>(f, at);
            s.TextureGeneration = Get<uint64_t>(f, at);
            s.PointSize = Get<float>(f, at);
            ApplyState(s);
            break;
        }
        case TOp::Clear: {
            const auto argb = Get<uint32_t>(f, at);
            glClearColor(float((argb >> 16) & 0xFF) / 255.0f, float((argb >> 8) & 0xFF) / 255.0f,
                         float(argb & 0xFF) / 255.0f, float(argb >> 24) / 255.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            break;
        }
        case TOp::Blend: {
            const bool enabled = Get<uint8_t>(f, at) != 0;
            const int source = Get<int32_t>(f, at), dest = Get<int32_t>(f, at), operation = Get<int32_t>(f, at);
            if (!enabled) {
                glDisable(GL_BLEND);
                break;
            }
            glEnable(GL_BLEND);
            glBlendFunc(BlendFactor(source), BlendFactor(dest));
            glBlendEquation(BlendOperation(operation));
            break;
        }
        case TOp::AlphaTest: glUniform1i(uniformAlphaTest_, Get<uint8_t>(f, at)); break;
        case TOp::Combine: glUniform1i(uniformCombine_, Get<uint8_t>(f, at)); break;
        case TOp::Filter: {
            const GLint filter = Get<uint8_t>(f, at) ? GL_LINEAR : GL_NEAREST;
            glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, filter);
            glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, filter);
            break;
        }
        case TOp::Texture: {
            const auto handle = Get<uint32_t>(f, at);
            at += sizeof(uint64_t);  // the picture's generation: for comparing frames only
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, handle ? handle : white_);
            glUniform1f(uniformBias_, handle ? kTexturedBias : kUntexturedBias);
            break;
        }
        case TOp::PointSize: glPointSize(Get<float>(f, at)); break;
        case TOp::Draw: {
            const auto kind = static_cast<TPrimitiveKind>(Get<uint8_t>(f, at));
            const auto vertexCount = Get<int32_t>(f, at), indexCount = Get<int32_t>(f, at);
            const uint8_t* vertices = f.data() + at;
            at += size_t(vertexCount) * sizeof(TVertex);
            const uint8_t* indices = f.data() + at;
            at += size_t(indexCount) * sizeof(uint16_t);
            glBindVertexArray(vao_);
            glBindBuffer(GL_ARRAY_BUFFER, vbo_);
            const auto vertexBytes = static_cast<GLsizeiptr>(size_t(vertexCount) * sizeof(TVertex));
            glBufferData(GL_ARRAY_BUFFER, vertexBytes, nullptr, GL_STREAM_DRAW);  // a fresh buffer each time
            glBufferSubData(GL_ARRAY_BUFFER, 0, vertexBytes, vertices);
            if (kind == TPrimitiveKind::Points) {
                glDrawArrays(GL_POINTS, 0, vertexCount);
            } else {
                const auto indexBytes = static_cast<GLsizeiptr>(size_t(indexCount) * sizeof(uint16_t));
                glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexBytes, nullptr, GL_STREAM_DRAW);
                glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, indexBytes, indices);
                glDrawElements(kind == TPrimitiveKind::Lines ? GL_LINES : GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT,
                               nullptr);
            }
            break;
        }
        }
    }
}

void TGraphicsDevice::ComputeLetterbox() {
    int dw = params_.Width, dh = params_.Height, ww = params_.Width, wh = params_.Height;
    if (window_ && !params_.Hidden) {
        SDL_GL_GetDrawableSize(window_, &dw, &dh);
        SDL_GetWindowSize(window_, &ww, &wh);
    }
    if (dw <= 0 || dh <= 0) dw = params_.Width, dh = params_.Height;
    pixelRatio_ = ww > 0 ? float(dw) / float(ww) : 1.0f;
    const double scale = std::min(double(dw) / params_.Width, double(dh) / params_.Height);
    viewW_ = std::max(1, int(std::lround(params_.Width * scale)));
    viewH_ = std::max(1, int(std::lround(params_.Height * scale)));
    viewX_ = (dw - viewW_) / 2;
    viewY_ = (dh - viewH_) / 2;
}

TPresentResult TGraphicsDevice::Present() {
    if (!Exists()) return TPresentResult::DriverError;
    if (!lost_ && robust_ && glGetGraphicsResetStatus() != GL_NO_ERROR) lost_ = true;
    if (lost_) {
        // Nothing drawn on a lost device shows.
        pending_.clear();
        executed_ = 0;
        held_.clear();
        windowCurrent_ = false;
        return TPresentResult::DeviceLost;
    }
    ExecutePending();
    EndFrame();
    if (!params_.Hidden && !windowCurrent_) {
        ComputeLetterbox();
        int dw = 0, dh = 0;
        SDL_GL_GetDrawableSize(window_, &dw, &dh);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
        glViewport(0, 0, dw, dh);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        const bool exact = viewW_ == params_.Width && viewH_ == params_.Height;
        // The back buffer's top row is its first: flip it onto the window.
        glBlitFramebuffer(0, 0, params_.Width, params_.Height, viewX_, viewY_ + viewH_, viewX_ + viewW_, viewY_,
                          GL_COLOR_BUFFER_BIT, exact ? GL_NEAREST : GL_LINEAR);
        SDL_GL_SwapWindow(window_);
        windowCurrent_ = true;
        ++framesShown_;
    }
    BindForDrawing();
    const GLenum failure = glGetError();
    return failure == GL_OUT_OF_MEMORY ? TPresentResult::DriverError : TPresentResult::Ok;
}

void TGraphicsDevice::SetBlend(bool enabled, int sourceFactor, int destFactor, int operation) {
    if (!Exists()) return;
    Record(TOp::Blend);
    Put(uint8_t(enabled));
    Put(int32_t(sourceFactor));
    Put(int32_t(destFactor));
    Put(int32_t(operation));
    // Switched off, blending keeps its factors for the next time it is on.
    state_.Blend = enabled;
    if (enabled) {
        state_.Source = sourceFactor;
        state_.Dest = destFactor;
        state_.Operation = operation;
    }
}

void TGraphicsDevice::SetAlphaTest(bool enabled) {
    if (!Exists()) return;
    Record(TOp::AlphaTest);
    Put(uint8_t(enabled));
    state_.AlphaTest = enabled;
}

void TGraphicsDevice::SetCombine(TTextureCombine combine) {
    if (!Exists()) return;
    Record(TOp::Combine);
    Put(uint8_t(combine == TTextureCombine::Modulate));
    state_.Modulate = combine == TTextureCombine::Modulate;
}

void TGraphicsDevice::SetFilter(bool linear) {
    if (!sampler_) return;
    Record(TOp::Filter);
    Put(uint8_t(linear));
    state_.Linear = linear;
}

void TGraphicsDevice::SetTexture(const TDeviceTexture* texture) {
    if (!Exists()) return;
    texture_ = texture && texture->Handle() ? texture : nullptr;
    state_.Texture = texture_ ? texture_->Handle() : 0;
    state_.TextureGeneration = texture_ ? texture_->generation_ : 0;
    Record(TOp::Texture);
    Put(uint32_t(state_.Texture));
    Put(state_.TextureGeneration);
}

void TGraphicsDevice::SetPointSize(float size) {
    if (!Exists()) return;
    Record(TOp::PointSize);
    Put(size);
    state_.PointSize = size;
}

bool TGraphicsDevice::Draw(TPrimitiveKind kind, const TVertex* vertices, int vertexCount, const uint16_t* indices,
                           int indexCount) {
    if (!Exists() || lost_ || vertexCount <= 0 || kind == TPrimitiveKind::None) return false;
    if (kind != TPrimitiveKind::Points && (indexCount <= 0 || !indices)) return false;
    if (kind == TPrimitiveKind::Points) indexCount = 0;
    Record(TOp::Draw);
    Put(uint8_t(kind));
    Put(int32_t(vertexCount));
    Put(int32_t(indexCount));
    const auto* v = reinterpret_cast<const uint8_t*>(vertices);
    pending_.insert(pending_.end(), v, v + size_t(vertexCount) * sizeof(TVertex));
    const auto* i = reinterpret_cast<const uint8_t*>(indices);
    if (indexCount > 0) pending_.insert(pending_.end(), i, i + size_t(indexCount) * sizeof(uint16_t));
    ++drawCalls_;
    return true;
}

bool TGraphicsDevice::AcceptsFormat(TColorFormat format) const {
    return std::find(accepted_.begin(), accepted_.end(), format) != accepted_.end();
}

std::unique_ptr<TDeviceTexture> TGraphicsDevice::CreateTexture(int width, int height, TColorFormat format,
                                                               bool mipmaps, std::string& error) {
    if (!Exists()) {
        error = "no device";
        return nullptr;
    }
    if (!AcceptsFormat(format)) {
        error = std::string("the device takes no ") + std::string(ColorFormatName(format)) + " textures";
        return nullptr;
    }
    if (width <= 0 || height <= 0 || width > maxTextureSize_ || height > maxTextureSize_) {
        error = "a texture of " + std::to_string(width) + " x " + std::to_string(height) + " (at most " +
                std::to_string(maxTextureSize_) + " a side)";
        return nullptr;
    }
    std::unique_ptr<TDeviceTexture> t(new TDeviceTexture);
    t->device_ = this;
    t->generation_ = NextGeneration();
    t->width_ = width;
    t->height_ = height;
    t->format_ = format;
    t->mipmaps_ = mipmaps;
    glGenTextures(1, &t->handle_);
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, t->handle_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, mipmaps ? 1000 : 0);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    if (glGetError() != GL_NO_ERROR) {
        error = "the driver cannot make a texture of " + std::to_string(width) + " x " + std::to_string(height);
        return nullptr;
    }
    LiveTextures().push_back(t.get());
    return t;
}

bool TGraphicsDevice::ReadBackBuffer(std::vector<uint32_t>& pixels) {
    if (!Exists()) return false;
    ExecutePending();
    pixels.assign(size_t(params_.Width) * size_t(params_.Height), 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, params_.Width, params_.Height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
    return glGetError() == GL_NO_ERROR;
}

bool TGraphicsDevice::WindowToBackBuffer(int wx, int wy, int& bx, int& by) const {
    int dh = params_.Height;
    if (window_ && !params_.Hidden) {
        int dw = 0;
        SDL_GL_GetDrawableSize(window_, &dw, &dh);
    }
    const float px = float(wx) * pixelRatio_;
    const float py = float(wy) * pixelRatio_;
    const float top = float(dh - viewY_ - viewH_);  // the picture's top edge, from the window's top
    const float fx = (px - float(viewX_)) * float(params_.Width) / float(viewW_);
    const float fy = (py - top) * float(params_.Height) / float(viewH_);
    bx = int(std::floor(fx));
    by = int(std::floor(fy));
    return bx >= 0 && by >= 0 && bx < params_.Width && by < params_.Height;
}

} // namespace zelkor
