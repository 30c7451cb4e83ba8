// Frame rate of the program's real frame in a real window under Xvfb, beside
// the two bare loops that mark this machine's limit, all measured in one run:
//
// - program: FrameClock::frame on the playing screen, which steps the world and
//   draws it exactly as the sandbox does, with a clock that advances 16 ms a
//   frame; apart from it, the world step (FrameClock::stepWorld) and the
//   drawing (the frame's drawing calls alone), each timed on its own;
// - one by one: the same picture drawn the way the sandbox must draw it, each
//   sprite pushed, translated, scaled, its display list called and popped,
//   with nothing switched that the picture does not need;
// - batch: the same picture with every sprite of a kind in one glBegin/glEnd.
//
// The picture is the backdrop, the walls, a 25 x 25 pixel sprite per ball and
// per attractor, where the world has them at that moment. Each kind is timed
// in short blocks taken in turn over many rounds; figures are medians over
// the rounds, ratios medians of the ratios within each round. Each configuration
// runs in a process of its own (the world only grows), which also reports its
// peak resident memory. Then the start-up time of the sandbox, from process
// start to its first frame on screen, is measured beside that of the least
// GLUT program (bench/least_glut.c), by a preloaded library that notes the
// first buffer swap (bench/first_swap_shim.c).
//
// Usage: bench_frame [--out DIR] [--quick] [--startup-only]; writes
// DIR/frame.csv and DIR/startup.csv and prints a table. --quick measures
// fewer frames and start-ups; --startup-only measures start-ups alone.
#include <GL/freeglut.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchScene.h"
#include "Callbacks.h"
#include "Camera.h"
#include "FrameClock.h"
#include "PictureList.h"
#include "Processes.h"
#include "Stage.h"
#include "Window.h"
#include "World.h"
#include "glpng.h"

namespace {

double now() {
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

// ---- one configuration, in its own process ----

uint32_t fakeMilliseconds = 0;
uint32_t fakeClock() { return fakeMilliseconds; }
constexpr uint32_t frameMilliseconds = 16;

bool reshaped = false;
void reshapeAndNote(int width, int height) {
    reshapeCallback(width, height);
    reshaped = reshaped || (width == 640 && height == 480);
}

void ignoreDisplay() {}

// The program's own window, its first reshape handled.
void openReshapedWindow(int& argc, char** argv) {
    openWindow(&argc, argv);
    glutReshapeFunc(reshapeAndNote);
    glutDisplayFunc(ignoreDisplay);  // frames are driven by the benchmark
    const double deadline = now() + 10.0;
    while (!reshaped && now() < deadline) {
        glutMainLoopEvent();
    }
}

// What the bare loops draw: the pictures, loaded like the sandbox's, and the
// world's walls and tokens.
struct Picture {
    int32_t texture = -1;
    int32_t list = -1;
};

Picture loadPicture(const char* fileName) {
    Picture picture;
    picture.texture = int32_t(
        pngBind(fileName, PNG_BUILDMIPMAPS, PNG_ALPHA, nullptr, GL_CLAMP, GL_LINEAR, GL_LINEAR));
    makePictureList(&picture.list, &picture.texture, fileName);
    return picture;
}

struct Sprite {
    float x, y, side, alpha;
};

struct BareScene {
    Picture backdrop, ball, attractor;
    std::vector<float> wallCorners;  // 8 floats a wall, in drawing order
    std::vector<Sprite> balls, attractors;

    void takeFrom(const World& scene) {
        wallCorners.clear();
        for (const Wall* wall : scene.walls.members()) {
            const float h = 0.5f * wall->thickness;
            const float dx = h * wall->dirY;
            const float dy = h * wall->dirX;
            const float corners[8] = {wall->x1 + dx, wall->y1 - dy, wall->x2 + dx, wall->y2 - dy,
                                      wall->x2 - dx, wall->y2 + dy, wall->x1 - dx, wall->y1 + dy};
            wallCorners.insert(wallCorners.end(), corners, corners + 8);
        }
        balls.clear();
        for (const Ball* ball : scene.balls.members()) {
            balls.push_back({ball->x, ball->y, 2.0f * ball->radius, 1.0f});
        }
        attractors.clear();
        for (const Attractor* attractor : scene.attractors.members()) {
            attractors.push_back(
                {attractor->x, attractor->y, 2.0f * attractor->radius, attractor->alpha});
        }
    }
};

void spriteStateOn() {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
}

void spriteStateOff() {
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void bareView() {
    glLoadIdentity();
    glTranslatef(0.0f, -37.5f, -37.5f);
}

void drawOneByOne(const BareScene& bare) {
    bareView();
    spriteStateOn();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(0.0f, 37.5f, 0.0f);
    glScalef(100.0f, 75.0f, 1.0f);
    glCallList(GLuint(bare.backdrop.list));
    glPopMatrix();
    if (!bare.wallCorners.empty()) {
        spriteStateOff();
        glColor4f(1.0f, 0.0f, 0.917f, 1.0f);
        for (size_t i = 0; i < bare.wallCorners.size(); i += 8) {
            glBegin(GL_POLYGON);
            for (size_t corner = 0; corner < 8; corner += 2) {
                glVertex2f(bare.wallCorners[i + corner], bare.wallCorners[i + corner + 1]);
            }
            glEnd();
        }
        spriteStateOn();
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (const Sprite& sprite : bare.balls) {
        glPushMatrix();
        glTranslatef(sprite.x, sprite.y, 0.0f);
        glScalef(sprite.side, sprite.side, 1.0f);
        glCallList(GLuint(bare.ball.list));
        glPopMatrix();
    }
    for (const Sprite& sprite : bare.attractors) {
        glColor4f(1.0f, 1.0f, 1.0f, sprite.alpha);
        glPushMatrix();
        glTranslatef(sprite.x, sprite.y, 0.0f);
        glScalef(sprite.side, sprite.side, 1.0f);
        glCallList(GLuint(bare.attractor.list));
        glPopMatrix();
    }
    spriteStateOff();
    glutSwapBuffers();
}

void batchOfSprites(const std::vector<Sprite>& sprites, int32_t texture) {
    glBindTexture(GL_TEXTURE_2D, GLuint(texture));
    glBegin(GL_QUADS);
    for (const Sprite& sprite : sprites) {
        const float half = 0.5f * sprite.side;
        glColor4f(1.0f, 1.0f, 1.0f, sprite.alpha);
        glTexCoord2f(0.0f, 1.0f);
        glVertex2f(sprite.x - half, sprite.y - half);
        glTexCoord2f(1.0f, 1.0f);
        glVertex2f(sprite.x + half, sprite.y - half);
        glTexCoord2f(1.0f, 0.0f);
        glVertex2f(sprite.x + half, sprite.y + half);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2f(sprite.x - half, sprite.y + half);
    }
    glEnd();
}

void drawBatch(const BareScene& bare) {
    bareView();
    spriteStateOn();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, GLuint(bare.backdrop.texture));
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-50.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(50.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(50.0f, 75.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-50.0f, 75.0f);
    glEnd();
    if (!bare.wallCorners.empty()) {
        spriteStateOff();
        glColor4f(1.0f, 0.0f, 0.917f, 1.0f);
        glBegin(GL_QUADS);
        for (size_t i = 0; i < bare.wallCorners.size(); i += 2) {
            glVertex2f(bare.wallCorners[i], bare.wallCorners[i + 1]);
        }
        glEnd();
        spriteStateOn();
    }
    batchOfSprites(bare.balls, bare.ball.texture);
    batchOfSprites(bare.attractors, bare.attractor.texture);
    spriteStateOff();
    glutSwapBuffers();
}

// The drawing of a playing frame alone, in the frame's own order and calls.
void drawPlayingScreen() {
    glPushMatrix();
    Camera::instance().applyView();
    Stage::instance().drawBackdrop(float(frameMilliseconds) * 0.001f);
    const World& scene = world();
    scene.walls.draw();
    scene.balls.draw();
    scene.attractors.draw();
    glutSwapBuffers();
    glPopMatrix();
}

// Mean seconds per call over `count` calls, the GL work finished at both ends.
template <typename Work>
double secondsEach(int count, Work work) {
    glFinish();
    const double start = now();
    for (int i = 0; i < count; ++i) {
        work();
    }
    glFinish();
    return (now() - start) / count;
}

void programFrame() {
    fakeMilliseconds += frameMilliseconds;
    FrameClock::instance().frame();
}

int runConfiguration(int& argc, char** argv, int ballCount, int attractorCount, int wallCount,
                     bool quick) {
    FrameClock::useClock(fakeClock);
    openReshapedWindow(argc, argv);
    FrameClock::instance().setUpScene();
    ScreenState = 2;
    World& scene = world();
    buildBenchScene(scene.balls, scene.attractors, scene.walls, ballCount, attractorCount,
                    wallCount);

    BareScene bare;
    bare.backdrop = loadPicture("./images/gray.png");
    bare.ball = loadPicture("./images/bluetoken.png");
    bare.attractor = loadPicture("./images/redtoken.png");
    bare.takeFrom(scene);

    // Warm up: the GL compiles its shaders for each state on first use.
    const double warmFrame = secondsEach(10, programFrame);
    secondsEach(3, [&] { drawOneByOne(bare); });
    secondsEach(3, [&] { drawBatch(bare); });
    secondsEach(3, drawPlayingScreen);

    // Short blocks of each kind in turn, many rounds, so that a change in the
    // machine's load meets every kind alike. Each kind is reported by its
    // median block, and each ratio by the median of its ratios within a round.
    const double blockSeconds = quick ? 0.03 : 0.06;
    const int framesPerBlock = std::clamp(int(blockSeconds / std::max(warmFrame, 1e-6)), 2, 500);
    const int rounds = quick ? 5 : 31;
    std::vector<double> program, step, drawing, oneByOne, batch, toOneByOne, toBatch;
    for (int round = 0; round < rounds; ++round) {
        program.push_back(secondsEach(framesPerBlock, programFrame));
        step.push_back(secondsEach(framesPerBlock, [] { FrameClock::instance().stepWorld(); }));
        drawing.push_back(secondsEach(framesPerBlock, drawPlayingScreen));
        bare.takeFrom(scene);
        oneByOne.push_back(secondsEach(framesPerBlock, [&] { drawOneByOne(bare); }));
        batch.push_back(secondsEach(framesPerBlock, [&] { drawBatch(bare); }));
        toOneByOne.push_back(oneByOne.back() / program.back());
        toBatch.push_back(batch.back() / program.back());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%d,%d,%d,%.2f,%.4f,%.4f,%.2f,%.2f,%.4f,%.4f,%.1f\n", ballCount, attractorCount,
                wallCount, 1.0 / median(program), 1e3 * median(step), 1e3 * median(drawing),
                1.0 / median(oneByOne), 1.0 / median(batch), median(toOneByOne), median(toBatch),
                double(usage.ru_maxrss) / 1024.0);
    std::fflush(stdout);
    glutExit();
    return 0;
}

// ---- the driver ----

// Runs `argv` with extra environment and returns its standard output.
std::string outputOf(const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return "";
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        for (const std::string& setting : environment) {
            putenv(const_cast<char*>(setting.c_str()));
        }
        std::vector<char*> argvOfChild;
        for (const std::string& argument : arguments) {
            argvOfChild.push_back(const_cast<char*>(argument.c_str()));
        }
        argvOfChild.push_back(nullptr);
        execv(argvOfChild[0], argvOfChild.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, size_t(got));
    }
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    return output;
}

// Milliseconds from fork to the program's first buffer swap, or -1.
double millisecondsToFirstFrame(const char* program, const std::string& display) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return -1.0;
    }
    const double start = now();
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        if (chdir(TUMBLEWELL_SOURCE_DIR) != 0) {
            _exit(126);
        }
        setenv("DISPLAY", display.c_str(), 1);
        // The sound output is the machine's own, as when a player starts it.
        setenv("LD_PRELOAD", TUMBLEWELL_FIRST_SWAP_SHIM, 1);
        setenv("FIRST_SWAP_FD", std::to_string(pipeEnds[1]).c_str(), 1);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    char line[64] = {};
    ssize_t got = 0;
    for (ssize_t part; got < ssize_t(sizeof line - 1) &&
                       (part = read(pipeEnds[0], line + got, sizeof line - 1 - size_t(got))) > 0;) {
        got += part;
        if (std::memchr(line, '\n', size_t(got)) != nullptr) {
            break;
        }
    }
    close(pipeEnds[0]);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return got > 0 ? (std::atof(line) - start) * 1e3 : -1.0;
}

struct Row {
    int balls, attractors, walls;
    double fpsProgram, stepMs, drawMs, fpsOneByOne, fpsBatch, toOneByOne, toBatch, peakMb;
};

int runDriver(const char* self, const std::string& outDirectory, bool quick, bool startupOnly) {
    Xvfb server;
    const std::vector<std::string> environment = {"DISPLAY=" + server.display(),
                                                  "SDL_AUDIODRIVER=dummy"};

    std::vector<Row> rows;
    for (int wallCount : {0, 100}) {
        if (startupOnly) {
            break;
        }
        for (int attractorCount : {1, 10}) {
            for (int ballCount : {0, 100, 1000, 10000}) {
                std::vector<std::string> arguments = {
                    self, "--configuration", std::to_string(ballCount),
                    std::to_string(attractorCount), std::to_string(wallCount)};
                if (quick) {
                    arguments.push_back("--quick");
                }
                const std::string line = outputOf(arguments, environment);
                Row row{};
                if (std::sscanf(line.c_str(), "%d,%d,%d,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf",
                                &row.balls, &row.attractors, &row.walls, &row.fpsProgram,
                                &row.stepMs, &row.drawMs, &row.fpsOneByOne, &row.fpsBatch,
                                &row.toOneByOne, &row.toBatch, &row.peakMb) != 11) {
                    std::fprintf(stderr, "bench_frame: configuration %d/%d/%d gave no figures\n",
                                 ballCount, attractorCount, wallCount);
                    return 1;
                }
                rows.push_back(row);
                std::fprintf(stderr, "measured %d balls, %d attractors, %d walls\n", ballCount,
                             attractorCount, wallCount);
            }
        }
    }

    const int startups = quick ? 5 : 15;
    std::vector<double> program, least;
    for (int i = 0; i < startups; ++i) {  // alternated, so both meet the same load
        least.push_back(millisecondsToFirstFrame(TUMBLEWELL_LEAST_GLUT, server.display()));
        program.push_back(millisecondsToFirstFrame(TUMBLEWELL_PROGRAM, server.display()));
    }
    const double programStartup = median(program);
    const double leastStartup = median(least);

    const std::string framePath = outDirectory + "/frame.csv";
    FILE* frameCsv = std::fopen(framePath.c_str(), "w");
    const std::string startupPath = outDirectory + "/startup.csv";
    FILE* startupCsv = std::fopen(startupPath.c_str(), "w");
    if (frameCsv == nullptr || startupCsv == nullptr) {
        std::fprintf(stderr, "bench_frame: cannot write into %s\n", outDirectory.c_str());
        return 1;
    }
    std::fprintf(frameCsv,
                 "balls,attractors,walls,fps_program,step_ms,draw_ms,fps_one_by_one,fps_batch,"
                 "program_to_one_by_one,program_to_batch,step_share_of_frame,peak_rss_mb\n");
    std::printf("%6s %4s %5s | %9s %8s %8s | %10s %9s | %7s %7s %6s | %7s\n", "balls", "attr",
                "walls", "program", "step ms", "draw ms", "one-by-one", "batch", "p/1by1",
                "p/batch", "step%", "RSS MB");
    for (const Row& row : rows) {
        const double toOneByOne = row.toOneByOne;
        const double toBatch = row.toBatch;
        const double stepShare = row.stepMs * row.fpsProgram / 1e3;
        std::fprintf(frameCsv, "%d,%d,%d,%.2f,%.4f,%.4f,%.2f,%.2f,%.4f,%.4f,%.4f,%.1f\n", row.balls,
                     row.attractors, row.walls, row.fpsProgram, row.stepMs, row.drawMs,
                     row.fpsOneByOne, row.fpsBatch, toOneByOne, toBatch, stepShare, row.peakMb);
        std::printf(
            "%6d %4d %5d | %9.1f %8.3f %8.3f | %10.1f %9.1f | %6.1f%% %6.1f%% %5.1f%% | %7.1f\n",
            row.balls, row.attractors, row.walls, row.fpsProgram, row.stepMs, row.drawMs,
            row.fpsOneByOne, row.fpsBatch, 100.0 * toOneByOne, 100.0 * toBatch, 100.0 * stepShare,
            row.peakMb);
    }
    std::fprintf(startupCsv, "program,median_ms,runs\ntumblewell,%.1f,%d\nleast_glut,%.1f,%d\n",
                 programStartup, startups, leastStartup, startups);
    std::printf(
        "\nstart-up to the first frame on screen, median of %d: tumblewell %.1f ms, least GLUT "
        "program "
        "%.1f ms, ratio %.2f\n",
        startups, programStartup, leastStartup, programStartup / leastStartup);
    std::fclose(frameCsv);
    std::fclose(startupCsv);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool quick = false;
    bool startupOnly = false;
    std::string outDirectory = ".";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            quick = true;
        } else if (std::strcmp(argv[i], "--startup-only") == 0) {
            startupOnly = true;
        } else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            outDirectory = argv[++i];
        } else if (std::strcmp(argv[i], "--configuration") == 0 && i + 3 < argc) {
            // The sandbox reads its pictures and sounds from the repository's top folder.
            if (chdir(TUMBLEWELL_SOURCE_DIR) != 0) {
                return 1;
            }
            const int balls = std::atoi(argv[i + 1]);
            const int attractors = std::atoi(argv[i + 2]);
            const int walls = std::atoi(argv[i + 3]);
            for (int rest = i + 4; rest < argc; ++rest) {
                quick = quick || std::strcmp(argv[rest], "--quick") == 0;
            }
            return runConfiguration(argc, argv, balls, attractors, walls, quick);
        }
    }
    return runDriver(argv[0], outDirectory, quick, startupOnly);
}
