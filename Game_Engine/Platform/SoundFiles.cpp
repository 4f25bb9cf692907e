#include "Platform/SoundFiles.h"

#include <fstream>

namespace OrvEngine {
namespace Platform {

bool SoundFileReadable(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file && file.peek() != std::ifstream::traits_type::eof();
}

bool OpensButIsNotOgg(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    char magic[4] = {0, 0, 0, 0};
    file.read(magic, sizeof magic);
    return !(file.gcount() == 4 && magic[0] == 'O' && magic[1] == 'g' && magic[2] == 'g' && magic[3] == 'S');
}

} // namespace Platform
} // namespace OrvEngine
