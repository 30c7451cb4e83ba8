// Display lists, which WebGL has not: a list records the calls a picture
// list makes (bind, begin, texture coordinates, vertices, end) and replays
// them on glCallList. Calls between glNewList and glEndList are recorded
// only, as GL_COMPILE asks; lists are never deleted.
#include <vector>

#include "realGl.h"

namespace {

enum class Call { bindTexture, begin, texCoord, vertex, end };

struct RecordedCall {
    Call call;
    GLenum target;  // bindTexture's target, begin's mode
    GLuint texture;
    GLfloat a, b;  // texCoord's s and t, vertex's x and y
};

std::vector<std::vector<RecordedCall>>& lists() {
    static auto* made = new std::vector<std::vector<RecordedCall>>(1);  // list 0 is never made
    return *made;
}

std::vector<RecordedCall>* recording = nullptr;

void replay(const RecordedCall& recorded) {
    switch (recorded.call) {
    case Call::bindTexture:
        webgl::bindTexture(recorded.target, recorded.texture);
        break;
    case Call::begin:
        webgl::begin(recorded.target);
        break;
    case Call::texCoord:
        __real_glTexCoord2f(recorded.a, recorded.b);
        break;
    case Call::vertex:
        __real_glVertex2f(recorded.a, recorded.b);
        break;
    case Call::end:
        __real_glEnd();
        break;
    }
}

}  // namespace

extern "C" {

GLuint glGenLists(GLsizei range) {
    if (range <= 0) return 0;
    const auto first = static_cast<GLuint>(lists().size());
    lists().resize(lists().size() + static_cast<size_t>(range));
    return first;
}

void glNewList(GLuint list, GLenum) {
    if (list > 0 && list < lists().size()) recording = &lists()[list];
}

void glEndList() { recording = nullptr; }

void glCallList(GLuint list) {
    if (list == 0 || list >= lists().size()) return;
    for (const RecordedCall& recorded : lists()[list]) replay(recorded);
}

void __wrap_glBindTexture(GLenum target, GLuint texture) {
    if (recording != nullptr)
        recording->push_back({Call::bindTexture, target, texture, 0, 0});
    else
        webgl::bindTexture(target, texture);
}

void __wrap_glBegin(GLenum mode) {
    if (recording != nullptr)
        recording->push_back({Call::begin, mode, 0, 0, 0});
    else
        webgl::begin(mode);
}

void __wrap_glTexCoord2f(GLfloat s, GLfloat t) {
    if (recording != nullptr)
        recording->push_back({Call::texCoord, 0, 0, s, t});
    else
        __real_glTexCoord2f(s, t);
}

void __wrap_glVertex2f(GLfloat x, GLfloat y) {
    if (recording != nullptr)
        recording->push_back({Call::vertex, 0, 0, x, y});
    else
        __real_glVertex2f(x, y);
}

void __wrap_glEnd() {
    if (recording != nullptr)
        recording->push_back({Call::end, 0, 0, 0, 0});
    else
        __real_glEnd();
}

}  // extern "C"
