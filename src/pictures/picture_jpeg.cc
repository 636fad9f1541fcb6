// JPEG through libjpeg. Errors jump back here instead of ending the process,
// the input comes from memory, and a progressive file with an absurd number
// of scans is refused: a small file could otherwise keep the decoder busy for
// a minute.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "pictures/picture_decoders.h"

namespace kavrel::picture_detail {

namespace {

constexpr int kMaxScans = 100;

// Everything the decode touches after setjmp lives here, outside the frame
// that calls setjmp, so nothing is left indeterminate by a longjmp.
struct JpegJob {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  jmp_buf jump;
  jpeg_source_mgr source;
  jpeg_progress_mgr progress;
  const uint8_t* data = nullptr;
  size_t size = 0;
  Picture* picture = nullptr;
};

JpegJob* JobOf(j_common_ptr cinfo) {
  return reinterpret_cast<JpegJob*>(reinterpret_cast<char*>(cinfo) - offsetof(JpegJob, cinfo));
}

void ErrorExit(j_common_ptr cinfo) { std::longjmp(JobOf(cinfo)->jump, 1); }
void OutputMessage(j_common_ptr) {}  // failures are silent

// Warnings are ignored, except the one that says the entropy-coded data
// stopped before the image did (a truncated or damaged file): that file gives
// no picture rather than one filled out with grey.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_HIT_MARKER) ErrorExit(cinfo);
}

void MonitorProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
    ErrorExit(cinfo);
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// The data ran out before the end-of-image marker: the file is cut short,
// wherever the cut falls. Between two scans of a progressive file the
// scans before the cut would still make a whole (blurred) picture, so
// running out is a failure, not the end of the image.
boolean FillInputBuffer(j_decompress_ptr cinfo) {
  ErrorExit(reinterpret_cast<j_common_ptr>(cinfo));
  return FALSE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  if (size_t(count) > src->bytes_in_buffer) FillInputBuffer(cinfo);  // does not return
  src->next_input_byte += count;
  src->bytes_in_buffer -= size_t(count);
}

// The helpers below run after the setjmp in RunJpeg: any of them may leave
// through ErrorExit, so none holds anything that needs cleaning up.

void InstallSource(JpegJob* job) {
  job->source.init_source = InitSource;
  job->source.fill_input_buffer = FillInputBuffer;
  job->source.skip_input_data = SkipInputData;
  job->source.resync_to_restart = jpeg_resync_to_restart;
  job->source.term_source = TermSource;
  job->source.next_input_byte = job->data;
  job->source.bytes_in_buffer = job->size;
  job->cinfo.src = &job->source;
  job->progress.progress_monitor = MonitorProgress;
  job->cinfo.progress = &job->progress;
}

// Reads the header and starts the decompressor, refusing anything but grey
// or colour pictures of an acceptable size.
void StartDecompress(j_decompress_ptr cinfo) {
  jpeg_read_header(cinfo, TRUE);
  if (cinfo->num_components != 1 && cinfo->num_components != 3) ErrorExit(j_common_ptr(cinfo));
#ifdef JCS_EXTENSIONS
  // Straight into the picture's channel order; grey comes out repeated.
  cinfo->out_color_space = JCS_EXT_BGR;
#endif
  if (!SizeAcceptable(cinfo->image_width, cinfo->image_height)) ErrorExit(j_common_ptr(cinfo));
  jpeg_start_decompress(cinfo);
  const uint32_t width = cinfo->output_width;
  const uint32_t height = cinfo->output_height;
  const int channels = cinfo->output_components;
  if (!SizeAcceptable(width, height) || (channels != 1 && channels != 3))
    ErrorExit(j_common_ptr(cinfo));
}

#ifdef JCS_EXTENSIONS
// B,G,R rows straight from the library, up to 8 at a time. Row y of the
// picture is stored bottom-up.
void ReadBgrRows(j_decompress_ptr cinfo, uint8_t* pixels, size_t stride, uint32_t height) {
  while (cinfo->output_scanline < height) {
    JSAMPROW rows[8];
    JDIMENSION want = height - cinfo->output_scanline;
    if (want > 8) want = 8;
    for (JDIMENSION i = 0; i < want; ++i)
      rows[i] = pixels + stride * (height - 1 - (cinfo->output_scanline + i));
    if (jpeg_read_scanlines(cinfo, rows, want) == 0) ErrorExit(j_common_ptr(cinfo));
  }
}
#endif

// Plain output: one row at a time through a buffer of the library's own
// (freed with the decompressor), then to B,G,R.
void ReadPlainRows(j_decompress_ptr cinfo, uint8_t* pixels, size_t stride, uint32_t width,
                   uint32_t height, int channels) {
  JSAMPARRAY buffer = (*cinfo->mem->alloc_sarray)(j_common_ptr(cinfo), JPOOL_IMAGE,
                                                 JDIMENSION(width) * JDIMENSION(channels), 1);
  while (cinfo->output_scanline < height) {
    uint8_t* out = pixels + stride * (height - 1 - cinfo->output_scanline);
    if (jpeg_read_scanlines(cinfo, buffer, 1) != 1) ErrorExit(j_common_ptr(cinfo));
    const uint8_t* in = buffer[0];
    if (channels == 1) {
      for (uint32_t x = 0; x < width; ++x, out += 3) out[0] = out[1] = out[2] = in[x];
    } else {
      for (uint32_t x = 0; x < width; ++x, out += 3, in += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
      }
    }
  }
}

// True with job->picture filled; false after any library error.
bool RunJpeg(JpegJob* job) {
  jpeg_decompress_struct* cinfo = &job->cinfo;
  cinfo->err = jpeg_std_error(&job->errors);
  job->errors.error_exit = ErrorExit;
  job->errors.output_message = OutputMessage;
  job->errors.emit_message = EmitMessage;
  if (setjmp(job->jump)) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  InstallSource(job);
  StartDecompress(cinfo);

  const uint32_t width = cinfo->output_width;
  const uint32_t height = cinfo->output_height;
  const int channels = cinfo->output_components;
  const size_t stride = size_t(width) * 3;
  job->picture = NewPicture(kPictureJpeg, int32_t(width), int32_t(height), uint64_t(stride) * height, false);
  if (!job->picture) ErrorExit(j_common_ptr(cinfo));
  uint8_t* pixels = job->picture->pixels;
#ifdef JCS_EXTENSIONS
  if (channels == 3) ReadBgrRows(cinfo, pixels, stride, height);
#endif
  if (cinfo->output_scanline < height) ReadPlainRows(cinfo, pixels, stride, width, height, channels);
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return true;
}

}  // namespace

Picture* DecodeJpeg(std::span<const uint8_t> data) {
  JpegJob* job = new (std::nothrow) JpegJob{};
  if (!job) return nullptr;
  job->data = data.data();
  job->size = data.size();
  Picture* picture = nullptr;
  if (RunJpeg(job)) {
    picture = job->picture;
  } else {
    FreePicture(job->picture);
  }
  delete job;
  return picture;
}

}  // namespace kavrel::picture_detail
