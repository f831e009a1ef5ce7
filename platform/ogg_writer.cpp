#include "platform/ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>

namespace platform {

bool WriteOggVorbis(const std::string& hostPath, const std::vector<float>& samples, int channels,
                    int rate) {
  if (channels < 1 || channels > 2 || rate < 8000) return false;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) != 0) {
    vorbis_info_clear(&vi);
    return false;
  }
  FILE* f = std::fopen(hostPath.c_str(), "wb");
  if (!f) {
    vorbis_info_clear(&vi);
    return false;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 1);
  bool ok = true;
  auto writePage = [&](const ogg_page& page) {
    ok = ok &&
         std::fwrite(page.header, 1, page.header_len, f) == static_cast<size_t>(page.header_len);
    ok = ok && std::fwrite(page.body, 1, page.body_len, f) == static_cast<size_t>(page.body_len);
  };
  ogg_packet header, comment, code;
  vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comment);
  ogg_stream_packetin(&os, &code);
  ogg_page page;
  while (ogg_stream_flush(&os, &page) != 0) writePage(page);

  const long frames = static_cast<long>(samples.size() / channels);
  long done = 0;
  bool eos = false;
  while (!eos) {
    const long n = std::min<long>(1024, frames - done);
    if (n > 0) {
      float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (long i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c) buffer[c][i] = samples[(done + i) * channels + c];
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      done += n;
    } else {
      vorbis_analysis_wrote(&vd, 0);
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (!eos && ogg_stream_pageout(&os, &page) != 0) {
          writePage(page);
          if (ogg_page_eos(&page)) eos = true;
        }
      }
    }
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace platform
