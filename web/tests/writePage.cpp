// Writes the web page of a quiz source for the browser tests: the source is
// read and checked as a build reads and checks it, then written as a page.
//   writePage SOURCE.toml PAGE.html
// Prints each picture or clip the browser cannot show; exits 1 on a problem.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "authoring/quizCheck.h"
#include "authoring/quizToml.h"
#include "authoring/webPage.h"

namespace {

bool readBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: writePage SOURCE.toml PAGE.html\n");
        return 2;
    }
    const std::string source = argv[1];
    std::vector<uint8_t> text;
    QuizModel model;
    SourceLines lines;
    std::vector<ModelProblem> problems;
    if (!readBytes(source, text) || !readQuizToml(std::string(text.begin(), text.end()), model, lines, problems) ||
        !(problems = checkQuiz(model)).empty()) {
        for (const ModelProblem& problem : problems) std::fprintf(stderr, "%s\n", problem.message.c_str());
        std::fprintf(stderr, "%s: not a quiz a build accepts\n", source.c_str());
        return 1;
    }
    std::string name = argv[2];
    name = name.substr(name.find_last_of('/') + 1);
    name = name.substr(0, name.find_last_of('.')) + ".txt";
    WebPage page;
    if (!writeWebPage(model, source, readBytes, name, page)) {
        for (const std::string& path : page.unreadable) std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    for (const std::string& path : page.unshowable) std::printf("not shown by browsers: %s\n", path.c_str());
    std::ofstream out(argv[2], std::ios::binary);
    out << page.html;
    return out.good() ? 0 : 1;
}
