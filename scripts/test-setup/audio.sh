# Gives Wine an audio device although the machine has no sound hardware: a private PulseAudio
# server with a null sink. The sink's monitor is the server's default recording source, so the
# tests can record what the program plays and find the tone in it.
if command -v pulseaudio >/dev/null 2>&1; then
    audio_dir=$(mktemp -d)
    HOME="$audio_dir" XDG_RUNTIME_DIR="$audio_dir" pulseaudio --daemonize=no --exit-idle-time=-1 -n \
        --load="module-null-sink sink_name=nullsink" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$audio_dir/native" \
        >"$audio_dir/log" 2>&1 &
    audio_pid=$!
    for _ in $(seq 50); do [ -S "$audio_dir/native" ] && break; sleep 0.1; done
    if [ -S "$audio_dir/native" ]; then
        export PULSE_SERVER="unix:$audio_dir/native"
    else
        echo "audio: the sound server did not start; tests that play sound will fail" >&2
        cat "$audio_dir/log" >&2
    fi
    cleanup_steps+=("kill $audio_pid 2>/dev/null; wait $audio_pid 2>/dev/null; rm -rf '$audio_dir'")
else
    echo "audio: pulseaudio is not installed (scripts/install-deps.sh); tests that play sound will fail" >&2
fi
