# The release zip (scripts/dist). The player carries no link time, so the same
# commit builds the same bytes (quizpack sets this for itself).
target_link_options(vetra PRIVATE -Wl,--no-insert-timestamp)
