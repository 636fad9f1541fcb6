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

#include "base/byte_reader.h"
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
  // The output: a Picture of packed B,G,R rows, or else the caller's
  // B,G,R,0 rows.
  BgrxRowStorage* storage = nullptr;
  CoverSize cover;
  int32_t eighths = 8;  // the scale decoded at
  Picture* picture = nullptr;
};

// Where decoded rows go: picture row y (top first) at
// base + stride * (height - 1 - y), `pixelSize` bytes a pixel.
struct RowsOut {
  uint8_t* base = nullptr;
  size_t stride = 0;
  int pixelSize = 3;
  uint8_t* Row(uint32_t y, uint32_t height) const { return base + stride * (height - 1 - y); }
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
void StartDecompress(j_decompress_ptr cinfo, int pixelSize, CoverSize cover) {
  jpeg_read_header(cinfo, TRUE);
  if (cinfo->num_components != 1 && cinfo->num_components != 3) ErrorExit(j_common_ptr(cinfo));
#ifdef JCS_EXTENSIONS
  // Straight into the output's channel order; grey comes out repeated.
  cinfo->out_color_space = pixelSize == 4 ? JCS_EXT_BGRX : JCS_EXT_BGR;
#endif
  if (!SizeAcceptable(cinfo->image_width, cinfo->image_height)) ErrorExit(j_common_ptr(cinfo));
  if (const int32_t eighths = JpegEighthsToCover(cinfo->image_width, cinfo->image_height, cover); eighths < 8) {
    cinfo->scale_num = unsigned(eighths);
    cinfo->scale_denom = 8;
  }
  jpeg_start_decompress(cinfo);
  const uint32_t width = cinfo->output_width;
  const uint32_t height = cinfo->output_height;
  const int channels = cinfo->output_components;
  if (!SizeAcceptable(width, height) || (channels != 1 && channels != 3 && channels != pixelSize))
    ErrorExit(j_common_ptr(cinfo));
}

#ifdef JCS_EXTENSIONS
// Rows in the output's own format straight from the library, up to 8 at a
// time. The library fills a fourth byte with 255; it is cleared while the
// rows are still in the cache, since a system that compares whole 32-bit
// pixels against a key colour would otherwise find no key.
void ReadRowsDirect(j_decompress_ptr cinfo, const RowsOut& out, uint32_t width, uint32_t height) {
  while (cinfo->output_scanline < height) {
    JSAMPROW rows[8];
    JDIMENSION want = height - cinfo->output_scanline;
    if (want > 8) want = 8;
    for (JDIMENSION i = 0; i < want; ++i) rows[i] = out.Row(cinfo->output_scanline + i, height);
    const JDIMENSION got = jpeg_read_scanlines(cinfo, rows, want);
    if (got == 0) ErrorExit(j_common_ptr(cinfo));
    if (out.pixelSize != 4) continue;
    for (JDIMENSION i = 0; i < got; ++i)
      for (uint32_t x = 0; x < width; ++x) rows[i][4 * x + 3] = 0;
  }
}
#endif

// Plain output: one row at a time through a buffer of the library's own
// (freed with the decompressor), then to B,G,R (and 0).
void ReadPlainRows(j_decompress_ptr cinfo, const RowsOut& out, uint32_t width, uint32_t height, int channels) {
  JSAMPARRAY buffer = (*cinfo->mem->alloc_sarray)(j_common_ptr(cinfo), JPOOL_IMAGE,
                                                 JDIMENSION(width) * JDIMENSION(channels), 1);
  while (cinfo->output_scanline < height) {
    uint8_t* o = out.Row(cinfo->output_scanline, height);
    if (jpeg_read_scanlines(cinfo, buffer, 1) != 1) ErrorExit(j_common_ptr(cinfo));
    const uint8_t* in = buffer[0];
    for (uint32_t x = 0; x < width; ++x, o += out.pixelSize, in += channels) {
      o[0] = in[channels == 1 ? 0 : 2];
      o[1] = in[channels == 1 ? 0 : 1];
      o[2] = in[0];
      if (out.pixelSize == 4) o[3] = 0;
    }
  }
}

// Storage for the decoded rows: the caller's, or a new Picture.
RowsOut AllocateOutput(JpegJob* job) {
  j_decompress_ptr cinfo = &job->cinfo;
  const uint32_t width = cinfo->output_width;
  const uint32_t height = cinfo->output_height;
  RowsOut out;
  if (job->storage) {
    out.pixelSize = 4;
    out.base = job->storage->Allocate(int32_t(width), int32_t(height), out.stride);
    if (!out.base || out.stride < size_t(width) * 4) ErrorExit(j_common_ptr(cinfo));
    return out;
  }
  out.stride = size_t(width) * 3;
  job->picture = NewPicture(kPictureJpeg, int32_t(width), int32_t(height), uint64_t(out.stride) * height, false);
  if (!job->picture) ErrorExit(j_common_ptr(cinfo));
  out.base = job->picture->pixels;
  return out;
}

// True with the output filled; false after any library error.
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
  StartDecompress(cinfo, job->storage ? 4 : 3, job->cover);
  job->eighths = int32_t(cinfo->scale_num * 8 / cinfo->scale_denom);

  const uint32_t width = cinfo->output_width;
  const uint32_t height = cinfo->output_height;
  const int channels = cinfo->output_components;
  const RowsOut out = AllocateOutput(job);
#ifdef JCS_EXTENSIONS
  if (channels == out.pixelSize) ReadRowsDirect(cinfo, out, width, height);
#endif
  if (cinfo->output_scanline < height) ReadPlainRows(cinfo, out, width, height, channels);
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return true;
}

// Runs one decode into `storage`, or into a new Picture when it is null.
bool Decode(std::span<const uint8_t> data, BgrxRowStorage* storage, Picture** picture, CoverSize cover = {},
            int32_t* eighths = nullptr) {
  JpegJob* job = new (std::nothrow) JpegJob{};
  if (!job) return false;
  job->data = data.data();
  job->size = data.size();
  job->storage = storage;
  job->cover = cover;
  const bool decoded = RunJpeg(job);
  if (decoded && eighths) *eighths = job->eighths;
  if (decoded && picture) {
    *picture = job->picture;
  } else {
    FreePicture(job->picture);
  }
  delete job;
  return decoded;
}

}  // namespace

Picture* DecodeJpeg(std::span<const uint8_t> data) {
  Picture* picture = nullptr;
  return Decode(data, nullptr, &picture) ? picture : nullptr;
}

}  // namespace kavrel::picture_detail

namespace kavrel {

bool DecodeJpegRows(std::span<const uint8_t> file, BgrxRowStorage& storage, CoverSize cover, int32_t* eighths) {
  ByteReader stream(file);
  return DetectPictureKind(stream) == kPictureJpeg && picture_detail::Decode(file, &storage, nullptr, cover, eighths);
}

// The library makes a side of s eighths ceil(side * s / 8) long. Each side
// is kept at least one and a half times the cover's: any nearer and the
// system's stretch loses enough of the picture's thin lines to fall below
// 40 dB PSNR against the whole picture stretched.
int32_t JpegEighthsToCover(int64_t width, int64_t height, CoverSize cover) {
  if (cover.width <= 0 || cover.height <= 0) return 8;
  for (int32_t eighths = 1; eighths < 8; ++eighths)
    if ((width * eighths + 7) / 8 * 2 >= int64_t(cover.width) * 3 &&
        (height * eighths + 7) / 8 * 2 >= int64_t(cover.height) * 3)
      return eighths;
  return 8;
}

}  // namespace kavrel
