// Stands first on the cli_overhead benchmark's PATH as "ffmpeg": runs the real encoder named in
// REELFORGE_CLOCK_ENCODER with the same arguments, and appends the monotonic start and end of
// the run, in microseconds, to the file named in REELFORGE_CLOCK_LOG. The benchmark so tells the
// time spent in the encoder from the time each side spends around it.

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <sys/wait.h>
#include <unistd.h>

namespace {
long long microseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000LL + now.tv_nsec / 1000;
}
} // namespace

int main(int, char *argv[])
{
    char *encoder = std::getenv("REELFORGE_CLOCK_ENCODER");
    const char *log = std::getenv("REELFORGE_CLOCK_LOG");
    if (!encoder || !log)
        return 127;
    const long long started = microseconds();
    const pid_t child = ::fork();
    if (child == 0) {
        argv[0] = encoder;
        ::execv(encoder, argv);
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return 127;
    const long long ended = microseconds();
    if (std::FILE *file = std::fopen(log, "a")) {
        std::fprintf(file, "%lld %lld\n", started, ended);
        std::fclose(file);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
