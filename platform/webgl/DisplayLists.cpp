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

// Inside a list the call is recorded only, as GL_COMPILE asks; outside, it is made.
void recordOrMake(const RecordedCall& call) {
    if (recording != nullptr)
        recording->push_back(call);
    else
        replay(call);
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
    recordOrMake({Call::bindTexture, target, texture, 0, 0});
}

void __wrap_glBegin(GLenum mode) { recordOrMake({Call::begin, mode, 0, 0, 0}); }

void __wrap_glTexCoord2f(GLfloat s, GLfloat t) { recordOrMake({Call::texCoord, 0, 0, s, t}); }

void __wrap_glVertex2f(GLfloat x, GLfloat y) { recordOrMake({Call::vertex, 0, 0, x, y}); }

void __wrap_glEnd() { recordOrMake({Call::end, 0, 0, 0, 0}); }

}  // extern "C"
