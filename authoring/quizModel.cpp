#include "authoring/quizModel.h"

bool ModelQuestion::operator==(const ModelQuestion& other) const {
    return answer == other.answer && answer2 == other.answer2 && prompt == other.prompt && comment == other.comment &&
           comment2 == other.comment2 && picture == other.picture && solution == other.solution && clip == other.clip;
}

bool QuizModel::operator==(const QuizModel& other) const {
    return kind == other.kind && title == other.title && author == other.author && explanations == other.explanations &&
           answersPerQuestion == other.answersPerQuestion && caption1 == other.caption1 && caption2 == other.caption2 &&
           reveal == other.reveal && colourRed == other.colourRed && colourGreen == other.colourGreen &&
           colourBlue == other.colourBlue && rewardCodes == other.rewardCodes && questions == other.questions;
}
