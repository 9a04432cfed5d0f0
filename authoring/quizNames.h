// The names a quiz source gives to the model's numbered values.
#pragma once

#include <cstdint>

// By kind (kindText .. kindVideo).
constexpr const char* kindNames[] = {"text", "pictures", "audio", "video"};
constexpr int kindNameCount = 4;

// By reveal mode, 0 to 4.
constexpr const char* revealNames[] = {"none", "solution-picture", "comment", "comment-and-picture", "all-comments"};
constexpr int revealNameCount = 5;
constexpr int32_t revealSolutionPicture = 1;
constexpr int32_t revealCommentAndPicture = 3;

// The modes that show each question's comment, and those that swap in a solution picture.
constexpr bool revealShowsComments(int32_t mode) {
    return mode == 2 || mode == 3 || mode == 4;
}
constexpr bool revealShowsPicture(int32_t mode) {
    return mode == revealSolutionPicture || mode == revealCommentAndPicture;
}
