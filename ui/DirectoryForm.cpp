#include "ui/DirectoryForm.h"

#include "platform/DirSearch.h"
#include "platform/DirectoryPath.h"

DirectoryFields DirectoryForm::Fields() const {
    const char kind = settings_.Kind;
    return {
        settings_.Path, settings_.Alias, settings_.Mask, {kind == '*' || kind == '+', kind != '+'}};
}

KindBoxes DirectoryForm::AfterClick(KindBoxes boxes, KindBox clicked) {
    if (!boxes.Inbound && !boxes.Outbound)
        (clicked == KindBox::Inbound ? boxes.Outbound : boxes.Inbound) = true;
    return boxes;
}

std::optional<std::string> DirectoryForm::Accept(const DirectoryFields& typed) {
    // A double quote would end its field early in peer.cfg.
    for (const std::string* text : {&typed.Path, &typed.Alias, &typed.Mask})
        if (text->find('"') != std::string::npos)
            return "Path, Alias and Mask can't contain a double quote (\").";
    settings_.Path = platform::WithoutTrailingSeparators(typed.Path);
    if (!platform::CanListDirectory(typed.Path))
        return "Bad path setting!";
    settings_.Alias = typed.Alias;
    settings_.Mask = typed.Mask;
    settings_.Kind = typed.Kind.Inbound ? (typed.Kind.Outbound ? '*' : '+') : '-';
    return std::nullopt;
}
