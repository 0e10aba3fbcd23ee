#include "devices/ControllerList.h"

#include "devices/DefinitionFiles.h"

void ControllerList::Load() {
    controllers_.Clear();
    for (const AString& file : DefinitionFileNames(".CTR")) {
        auto controller = std::make_unique<MidiController>(file);
        if (controller->IsValid()) {
            const std::size_t at = SortedPlace(*controller);
            controllers_.Insert(at, std::move(controller));
        }
    }
}

std::size_t ControllerList::SortedPlace(const MidiController& controller) const {
    std::size_t at = 0;
    while (at < controllers_.Count() && controllers_[at]->Number() <= controller.Number())
        ++at;
    return at;
}

std::optional<Message> ControllerList::Add(std::unique_ptr<MidiController> controller,
                                           std::size_t& index) {
    if (const FileResult written = controller->Write(); !written)
        return WriteFailure(written);
    index = SortedPlace(*controller);
    controllers_.Insert(index, std::move(controller));
    return std::nullopt;
}

std::optional<Message> ControllerList::CheckChange(std::size_t index) const {
    if (index < controllers_.Count() &&
        IsReadOnlyFile(DefinitionPath(controllers_[index]->FileName())))
        return DefinitionRefusal(kReadOnly);
    return std::nullopt;
}

std::optional<Message> ControllerList::Store(std::size_t& index, const MidiController& edited) {
    if (index >= controllers_.Count())
        return std::nullopt;
    auto stored = std::make_unique<MidiController>(edited);
    if (const FileResult written = stored->Write(); !written)
        return WriteFailure(written);
    controllers_.Remove(index);
    index = SortedPlace(*stored);
    controllers_.Insert(index, std::move(stored));
    return std::nullopt;
}

std::optional<Message> ControllerList::Delete(std::size_t index) {
    if (index >= controllers_.Count())
        return std::nullopt;
    if (auto refusal = DeleteDefinition(controllers_[index]->FileName(), kReadOnly))
        return refusal;
    controllers_.Remove(index);
    return std::nullopt;
}
