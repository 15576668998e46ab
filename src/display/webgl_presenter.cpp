#include "display/webgl_presenter.h"

#include <GLES2/gl2.h>

namespace zt {

namespace {

// One textured quad over the viewport; the texture's top row at the top.
const char* const kVertexShader = R"(
attribute vec2 corner;
varying vec2 at;
void main() {
  at = vec2(corner.x, 1.0 - corner.y);
  gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const kFragmentShader = R"(
precision mediump float;
uniform sampler2D frame;
varying vec2 at;
void main() {
  gl_FragColor = texture2D(frame, at);
}
)";

GLuint compile(GLenum kind, const char* source) {
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  return shader;
}

}  // namespace

void WebGlPresenter::initialize() {
  program_ = glCreateProgram();
  glAttachShader(program_, compile(GL_VERTEX_SHADER, kVertexShader));
  glAttachShader(program_, compile(GL_FRAGMENT_SHADER, kFragmentShader));
  glBindAttribLocation(program_, 0, "corner");
  glLinkProgram(program_);
  glUseProgram(program_);
  glUniform1i(glGetUniformLocation(program_, "frame"), 0);

  const float corners[] = {0, 0, 1, 0, 0, 1, 1, 1};
  glGenBuffers(1, &quad_);
  glBindBuffer(GL_ARRAY_BUFFER, quad_);
  glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);

  glGenTextures(1, &texture_);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, SoftwareRenderer::kFrameWidth,
               SoftwareRenderer::kFrameHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glDisable(GL_BLEND);
  glDisable(GL_DITHER);
}

void WebGlPresenter::show(SoftwareRenderer& display, int32_t width, int32_t height) {
  display.fitToClient(width, height);
  const ScreenPlacement& p = display.placement();
  const Color margin = display.marginColor();
  glViewport(0, 0, width, height);
  glClearColor(margin.r / 255.0f, margin.g / 255.0f, margin.b / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, SoftwareRenderer::kFrameWidth,
                  SoftwareRenderer::kFrameHeight, GL_RGBA, GL_UNSIGNED_BYTE, display.frame());
  // The placement counts rows from the bottom, as GL's viewport does.
  glViewport(p.x, p.y, p.width, p.height);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

}  // namespace zt
