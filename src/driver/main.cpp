// The demo's entry point: chooses the display, brings up SDL, audio and GL, runs the main loop, shuts down.
#include <SDL.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "synth.h"
#include "visuals.h"

namespace {

constexpr int sampleRate = 44100;
constexpr Uint16 bufferFrames = 1024;
const char* const title = "Ku Solvanta";

// SDL turns SIGINT and SIGTERM into its quit event, which the demo ignores because it also means
// "close the window". Our own handlers, installed before SDL_Init, are kept by SDL, so Ctrl+C,
// `timeout` and session managers end the demo cleanly and SDL_Quit restores the display.
volatile sig_atomic_t stopSignalled = 0;

void onStopSignal(int)
{
    stopSignalled = 1;
}

void installStopHandlers()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool endsInW(const char* name)
{
    const size_t length = name ? std::strlen(name) : 0;
    return length > 0 && name[length - 1] == 'w';
}

int fail(const char* what, const char* hint)
{
    std::fprintf(stderr, "kusolvanta: %s: %s%s\n", what, SDL_GetError(), hint);
    SDL_Quit();
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    // "-w" exactly (its NUL included, so "-wx" does not count), or a name like kusolvantaw: windowed.
    Uint32 videoFlags = SDL_FULLSCREEN | SDL_OPENGL;
    if (argc > 1 && std::strncmp(argv[1], "-w", 3) == 0)
        videoFlags = SDL_OPENGL;
    if (argc > 0 && endsInW(argv[0]))
        videoFlags = SDL_OPENGL;

    installStopHandlers();

    const char* const noSoundHint = " (SDL_AUDIODRIVER=dummy runs the demo without sound)";
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0) {
        // SDL brings up video before audio, so what is not up is what failed.
        if (!SDL_WasInit(SDL_INIT_VIDEO))
            return fail("cannot initialise SDL video (is DISPLAY set?)", "");
        if (!SDL_WasInit(SDL_INIT_AUDIO))
            return fail("cannot initialise SDL audio", noSoundHint);
        return fail("cannot initialise SDL", "");
    }

    // No record for the obtained format: SDL then converts for the hardware itself and hands the
    // callback exactly 1024 big-endian stereo frames, which the mixer and the meter rely on.
    SDL_AudioSpec request;
    std::memset(&request, 0, sizeof request);
    request.freq = sampleRate;
    request.format = AUDIO_S16MSB;
    request.channels = 2;
    request.samples = bufferFrames;
    request.callback = audioCallback;
    request.userdata = nullptr;
    // Without a running device the timeline, which follows the audio, would never leave scene 0.
    if (SDL_OpenAudio(&request, nullptr) < 0)
        return fail("cannot open the audio device", noSoundHint);

    initSynth(sampleRate);
    // The demo says nothing here: kusolvanta-render prints why a song is rejected.
    if (parseSong(embeddedSong) < 0)
        return 1;

    if (!SDL_SetVideoMode(640, 480, 32, videoFlags)) {
        // Without DISPLAY, SDL falls back to a console driver that has no OpenGL: say so.
        char hint[96];
        char driver[32] = "none";
        SDL_VideoDriverName(driver, sizeof driver);
        const char* display = std::getenv("DISPLAY");
        std::snprintf(hint, sizeof hint, " (video driver %s%s)", driver,
                      display && *display ? "" : "; DISPLAY is not set");
        return fail("cannot set the 640x480 OpenGL video mode", hint);
    }
    SDL_WM_SetCaption(title, nullptr);
    SDL_ShowCursor(SDL_DISABLE);
    setupTextures();

    // SDL 1.2 unpauses with a plain store that its audio thread polls. Taking the audio lock, which
    // that thread holds around every callback, makes everything initSynth and parseSong wrote
    // visible to the callback before its first run; it is never taken again.
    SDL_LockAudio();
    SDL_PauseAudio(0);
    SDL_UnlockAudio();
    const Uint32 start = SDL_GetTicks();

    if (stopSignalled)
        quitRequested = 1;
    SDL_Event event;
    while (quitRequested == 0) {
        if (renderFrame(static_cast<int>(SDL_GetTicks() - start)))
            SDL_GL_SwapBuffers();
        // Drain everything; SDL_QUIT (the window-close request) deliberately does not end the demo.
        while (SDL_PollEvent(&event) > 0) {
            if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_KEYDOWN)
                quitRequested = 1;
        }
        if (stopSignalled)
            quitRequested = 1;
    }

    SDL_Quit();
    return 0;
}
