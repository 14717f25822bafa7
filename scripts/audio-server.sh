#!/usr/bin/env bash
# Sourced: makes sure an audio server is reachable. When none answers, starts a PulseAudio
# server with a null sink (sound goes nowhere, but devices, timing and playback are real).
quill_audio_ready() { pactl info >/dev/null 2>&1; }

if ! quill_audio_ready; then
  if [[ -z "${XDG_RUNTIME_DIR:-}" || ! -w "${XDG_RUNTIME_DIR:-/nonexistent}" ]]; then
    export XDG_RUNTIME_DIR="/tmp/quillsong-runtime-$(id -u)"
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  fi
  if ! quill_audio_ready; then
    echo "No audio server reachable: starting a PulseAudio null sink."
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
      --load="module-native-protocol-unix" \
      --load="module-null-sink sink_name=quillsong_null sink_properties=device.description=Null_Output" \
      --log-target=file:"$XDG_RUNTIME_DIR/pulseaudio.log" || true
    for _ in $(seq 1 50); do
      quill_audio_ready && break
      sleep 0.1
    done
    if ! quill_audio_ready; then
      echo "error: the PulseAudio null sink did not start; see $XDG_RUNTIME_DIR/pulseaudio.log" >&2
      return 1 2>/dev/null || exit 1
    fi
  fi
fi
