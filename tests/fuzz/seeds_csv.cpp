// Writes the seed corpus of the CSV fuzz target: batch lists as spreadsheets
// save them, with quotes, line breaks, a byte-order mark and CRLF lines.
#include <stdio.h>
#include <string>

#include "common/test_files.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: seeds_csv FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    const struct {
        const char* name;
        std::string text;
    } seeds[] = {
        {"every_column", "picture,target,grid,shuffle,win_url,company,site,tagline\n"
                         "a.jpg,a.exe,5,yes,example.com,\"Acme, Inc\",acme.example,\"say \"\"hi\"\"\"\n"},
        {"bom_crlf", "\xEF\xBB\xBFTarget,PICTURE,Tagline\r\nb.exe,b.png,\"two\r\nlines\"\r\n,\r\n"},
        {"bad_rows", "picture,target,grid\nc.bmp,c.exe,1\nc.bmp,,x\n\"c.bmp\"x,d.exe\n"},
    };
    for (const auto& seed : seeds)
        if (!vntest::WriteFileBytes(dir + "/" + seed.name, seed.text.data(), seed.text.size()))
            return 1;
    return 0;
}
