#pragma once

#include <deque>
#include <string>
#include <vector>

#include "util/Messages.h"

// Stands in for the user at message boxes and file dialogs while it lives: remembers
// every message and file request, answers questions from `answers` in order (a box with
// only OK gets OK without taking one; a question with no answer left gets `unanswered`) and file
// dialogs from `files` (none left: cancelled).
class MessageLog : public MessageSink {
public:
    MessageLog() : previous_(SetMessageSink(this)) {}
    ~MessageLog() override { SetMessageSink(previous_); }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    MessageAnswer Show(const Message& message) override {
        shown.push_back(message);
        if (message.buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers.empty())
            return unanswered;
        const MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    bool ChooseFile(const FileRequest& request, std::string& chosen) override {
        requests.push_back(request);
        if (files.empty())
            return false;
        chosen = files.front();
        files.pop_front();
        return true;
    }

    std::vector<Message> shown;
    std::vector<FileRequest> requests;
    std::deque<MessageAnswer> answers;
    std::deque<std::string> files;
    MessageAnswer unanswered = MessageAnswer::Cancel;

private:
    MessageSink* previous_;
};
