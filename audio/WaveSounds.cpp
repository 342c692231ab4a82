#include "audio/WaveSounds.h"

#include <algorithm>
#include <thread>

namespace zelkor {

// ---- Device ---------------------------------------------------------------------

TSoundDevice::TSoundDevice() = default;

TSoundDevice::~TSoundDevice() { Finalize(); }

void TSoundDevice::Loaded() {
    if (autoInitialize_) Initialize();
}

bool TSoundDevice::Initialize() {
    if (device_) return true;
    lastError_.clear();
    device_ = TAudioDevice::Acquire(deviceNumber_, lastError_);
    return device_ != nullptr;
}

void TSoundDevice::Finalize() { device_.reset(); }

// ---- Items ------------------------------------------------------------------------

TWaveCollectionItem::TWaveCollectionItem(TWaveList* owner) : owner_(owner) {}

TWaveCollectionItem::~TWaveCollectionItem() = default;

bool TWaveCollectionItem::SetWave(const std::vector<uint8_t>& image) {
    copies_.clear();
    buffer_.reset();
    wave_ = TWaveData{};
    waveError_.clear();
    if (!ParseWave(image, wave_, waveError_)) {
        wave_ = TWaveData{};
        return false;
    }
    return true;
}

bool TWaveCollectionItem::EnsureBuffer() {
    if (buffer_) return true;
    TSoundDevice* device = owner_ ? owner_->SoundDevice() : nullptr;
    if (!device || !device->Initialized() || wave_.Samples.empty()) return false;
    std::string error;
    buffer_ = device->Device().CreateSound(wave_.Format, wave_.Samples, error);
    return buffer_ != nullptr;
}

void TWaveCollectionItem::Play(bool wait) {
    if (!EnsureBuffer()) return;  // no sound output: silence
    TSoundBuffer* voice = nullptr;
    if (looped_) {
        voice = buffer_.get();
        voice->Stop();
        voice->Rewind();
        voice->Play(true);
    } else {
        auto idle = std::find_if(copies_.begin(), copies_.end(), [](const auto& c) { return !c->Playing(); });
        if (idle != copies_.end()) {
            voice = idle->get();
        } else if (maxPlayingCount_ == 0 || int(copies_.size()) < maxPlayingCount_) {
            auto copy = buffer_->Duplicate();
            if (!copy) return;
            copies_.push_back(std::move(copy));
            voice = copies_.back().get();
        } else {
            // The oldest copy starts again and becomes the newest.
            std::rotate(copies_.begin(), copies_.begin() + 1, copies_.end());
            voice = copies_.back().get();
        }
        voice->Stop();
        voice->Rewind();
        voice->SetVolume(volume_);
        voice->SetPan(pan_);
        voice->SetFrequency(frequency_);
        voice->Play(false);
    }
    if (wait && !looped_)
        while (voice->Playing()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

bool TWaveCollectionItem::AnyPlaying() const {
    if (buffer_ && buffer_->Playing()) return true;
    return std::any_of(copies_.begin(), copies_.end(), [](const auto& c) { return c->Playing(); });
}

void TWaveCollectionItem::StopAll() {
    if (buffer_) buffer_->Stop();
    for (auto& c : copies_) c->Stop();
}

TWaveCollectionItem* TWaveCollection::Add() {
    items_.push_back(std::make_unique<TWaveCollectionItem>(owner_));
    return items_.back().get();
}

TWaveCollectionItem* TWaveCollection::operator[](int index) const {
    return index >= 0 && index < Count() ? items_[size_t(index)].get() : nullptr;
}

TWaveCollectionItem* TWaveCollection::Find(const std::string& name) const {
    for (const auto& item : items_)
        if (item->Name() == name) return item.get();
    return nullptr;
}

TWaveList::~TWaveList() = default;

} // namespace zelkor
