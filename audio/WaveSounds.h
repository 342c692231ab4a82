#pragma once
// Sound effects: TSoundDevice opens the sound output; a TWaveList holds
// named wave items; playing an item starts a copy of its sound, so that
// quick plays overlap.

#include <memory>
#include <string>
#include <vector>

#include "audio/WaveFile.h"
#include "platform/sdl/AudioDevice.h"
#include "platform/EnumSet.h"
#include "platform/Events.h"

namespace zelkor {

enum class TSoundDeviceOption { soGlobalFocus, soStickyFocus, soExclusive };
using TSoundDeviceOptions = EnumSet<TSoundDeviceOption>;

class TSoundDevice : public TObject {
public:
    TSoundDevice();
    ~TSoundDevice() override;

    bool AutoInitialize() const { return autoInitialize_; }
    void SetAutoInitialize(bool value) { autoInitialize_ = value; }
    TSoundDeviceOptions Options() const { return options_; }
    void SetOptions(TSoundDeviceOptions value) { options_ = value; }
    int DeviceNumber() const { return deviceNumber_; }
    void SetDeviceNumber(int value) { deviceNumber_ = value; }

    // The owner has set the properties up: starts the output when
    // AutoInitialize is set. A failure is kept quiet (sounds stay silent).
    void Loaded();
    bool Initialize();
    void Finalize();
    bool Initialized() const { return device_ != nullptr; }
    const std::string& LastError() const { return lastError_; }
    // The open output; only while Initialized.
    TAudioDevice& Device() { return *device_; }

private:
    bool autoInitialize_ = true;
    TSoundDeviceOptions options_;
    int deviceNumber_ = 0;
    std::shared_ptr<TAudioDevice> device_;
    std::string lastError_;
};

class TWaveList;

class TWaveCollectionItem {
public:
    explicit TWaveCollectionItem(TWaveList* owner);
    ~TWaveCollectionItem();

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    bool Looped() const { return looped_; }
    void SetLooped(bool value) { looped_ = value; }
    int MaxPlayingCount() const { return maxPlayingCount_; }
    void SetMaxPlayingCount(int value) { maxPlayingCount_ = value < 0 ? 0 : value; }
    float Volume() const { return volume_; }
    void SetVolume(float value) { volume_ = value; }
    float Pan() const { return pan_; }
    void SetPan(float value) { pan_ = value; }
    int Frequency() const { return frequency_; }
    void SetFrequency(int value) { frequency_ = value; }

    // A RIFF WAVE image; false (and no wave) when it cannot be read.
    bool SetWave(const std::vector<uint8_t>& image);
    const TWaveData& Wave() const { return wave_; }
    const std::string& WaveError() const { return waveError_; }

    // Plays a copy (see the class comment); with `wait`, returns when it has finished.
    void Play(bool wait = false);
    int CopyCount() const { return int(copies_.size()); }
    const TSoundBuffer* Copy(int index) const { return copies_.at(size_t(index)).get(); }
    bool AnyPlaying() const;
    void StopAll();

private:
    bool EnsureBuffer();

    TWaveList* owner_;
    std::string name_;
    bool looped_ = false;
    int maxPlayingCount_ = 0;
    float volume_ = 1.0f, pan_ = 0.0f;
    int frequency_ = 0;
    TWaveData wave_;
    std::string waveError_;
    std::unique_ptr<TSoundBuffer> buffer_;
    std::vector<std::unique_ptr<TSoundBuffer>> copies_;
};

class TWaveCollection {
public:
    explicit TWaveCollection(TWaveList* owner) : owner_(owner) {}
    TWaveCollectionItem* Add();
    TWaveCollectionItem* operator[](int index) const;  // null outside the items
    int Count() const { return int(items_.size()); }
    TWaveCollectionItem* Find(const std::string& name) const;

private:
    TWaveList* owner_;
    std::vector<std::unique_ptr<TWaveCollectionItem>> items_;
};

class TWaveList : public TObject {
public:
    TWaveList() : items_(this) {}
    ~TWaveList() override;
    TSoundDevice* SoundDevice() const { return device_; }
    void SetSoundDevice(TSoundDevice* device) { device_ = device; }
    TWaveCollection& Items() { return items_; }

private:
    TSoundDevice* device_ = nullptr;
    TWaveCollection items_;
};

} // namespace zelkor
