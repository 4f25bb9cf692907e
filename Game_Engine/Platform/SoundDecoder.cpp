#include "Platform/SoundDecoder.h"

#include <SDL_mixer.h>

#include <fstream>
#include <mutex>

namespace OrvEngine {
namespace Platform {

namespace {
// SDL_mixer opens its decoders on first use without a lock, so decodes run one at a time: the
// worker's and any the main thread does itself.
std::mutex g_decode_mutex;
} // namespace

bool SoundDecoder::Readable(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file && file.peek() != std::ifstream::traits_type::eof();
}

std::string SoundDecoder::Refusal(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return ""; // the decode reports a missing file
    char magic[4] = {0, 0, 0, 0};
    file.read(magic, sizeof magic);
    if (file.gcount() == 4 && magic[0] == 'O' && magic[1] == 'g' && magic[2] == 'g' && magic[3] == 'S') return "";
    return path + " does not begin with the Ogg signature; it is not decoded";
}

Mix_Chunk* SoundDecoder::Decode(const std::string& path, std::string& error)
{
    std::lock_guard<std::mutex> lock(g_decode_mutex);
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    // SDL keeps its error text per thread: read it here.
    if (!chunk) error = path + ": " + Mix_GetError();
    return chunk;
}

std::shared_ptr<SoundDecoder::Job> SoundDecoder::Queue(const std::string& path)
{
    auto job = std::make_shared<Job>();
    job->path = path;
    queue_.Queue(job);
    return job;
}

void SoundDecoder::Discard(Job& job)
{
    if (job.chunk) Mix_FreeChunk(job.chunk);
    job.chunk = nullptr;
}

} // namespace Platform
} // namespace OrvEngine
