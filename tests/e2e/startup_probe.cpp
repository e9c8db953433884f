// Measuring aid: an LD_PRELOAD shim that stamps the demo's start-up SDL calls (see scripts/e2e-startup.sh).
#include <dlfcn.h>
#include <time.h>

#include <cstdio>

namespace {

double nowMs()
{
    timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void stamp(const char* what)
{
    std::fprintf(stderr, "probe %s %.3f\n", what, nowMs());
}

template <typename F>
F next(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int SDL_Init(unsigned flags)
{
    stamp("SDL_Init>");
    const int result = next<int (*)(unsigned)>("SDL_Init")(flags);
    stamp("SDL_Init<");
    return result;
}

int SDL_OpenAudio(void* desired, void* obtained)
{
    stamp("SDL_OpenAudio>");
    const int result = next<int (*)(void*, void*)>("SDL_OpenAudio")(desired, obtained);
    stamp("SDL_OpenAudio<");
    return result;
}

void* SDL_SetVideoMode(int w, int h, int bpp, unsigned flags)
{
    stamp("SDL_SetVideoMode>");
    void* result = next<void* (*)(int, int, int, unsigned)>("SDL_SetVideoMode")(w, h, bpp, flags);
    stamp("SDL_SetVideoMode<");
    return result;
}

int SDL_ShowCursor(int toggle)
{
    const int result = next<int (*)(int)>("SDL_ShowCursor")(toggle);
    stamp("SDL_ShowCursor<");
    return result;
}

void SDL_PauseAudio(int pause)
{
    stamp("SDL_PauseAudio>");
    next<void (*)(int)>("SDL_PauseAudio")(pause);
}

// Drawn frames: the first swap ends start-up; the count and span give the frame rate of the run.
long swaps = 0;
double firstSwapMs = 0, lastSwapMs = 0;

void SDL_GL_SwapBuffers()
{
    lastSwapMs = nowMs();
    if (swaps++ == 0) {
        firstSwapMs = lastSwapMs;
        stamp("SDL_GL_SwapBuffers>");
    }
    next<void (*)()>("SDL_GL_SwapBuffers")();
}

void SDL_Quit()
{
    std::fprintf(stderr, "probe swaps %ld over %.3f ms\n", swaps, lastSwapMs - firstSwapMs);
    next<void (*)()>("SDL_Quit")();
}

}  // extern "C"
