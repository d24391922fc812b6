// The preview: FluidSynth compiled for the web plays the converted bytes (or the original) with
// the SoundFont the desktop uses. The synthesizer is made on the first Play, as browsers let
// sound start only from a user's action; a change of the adjustments while it plays restarts it
// at the same moment of the song.
export class Preview {
  constructor({ soundFont, texts, song, status, carriedTick }) {
    Object.assign(this, { soundFont, texts, song, status, carriedTick });
    this.synth = null;
    this.playing = null; // the song playing
    this.statusKey = null;
  }

  async play() {
    const synth = await this.synthesizer();
    const song = synth && this.song();
    if (!song) return;
    await this.start(synth, song, 0);
  }

  async stop() {
    if (!this.synth || !this.playing) return;
    this.playing = null;
    this.synth.stopPlayer();
    this.showStatus(null);
  }

  fileChanged() {
    this.stop();
  }

  async adjustmentsChanged() {
    if (!this.playing) return;
    const song = this.song();
    if (!song) return;
    const tick = await this.synth.retrievePlayerCurrentTick();
    // The same moment of the song at the new speed, by the engine's rule (midi/SpeedControl.h).
    await this.start(this.synth, song, this.carriedTick(tick, this.playing.speed, song.speed));
  }

  async start(synth, song, tick) {
    synth.stopPlayer();
    await synth.resetPlayer();
    await synth.addSMFDataToPlayer(song.bytes);
    await synth.playPlayer();
    if (tick > 0) synth.seekPlayer(tick);
    this.playing = song;
    this.showStatus(song.original ? 'hearOriginal' : 'preview');
    // A song that plays to its end leaves the strip as Stop does.
    synth.waitForPlayerStopped().then(() => {
      if (this.playing !== song) return;
      this.playing = null;
      this.showStatus(null);
    });
  }

  showStatus(key = this.statusKey) {
    this.statusKey = key;
    this.status(key ? this.texts()[key] : '');
  }

  async synthesizer() {
    if (this.synth) return this.synth;
    if (!this.soundFont || typeof JSSynth === 'undefined') {
      this.showStatus('noSoundFont');
      return null;
    }
    let context;
    try {
      context = new AudioContext();
    } catch {
      this.showStatus('noAudioDevice');
      return null;
    }
    await JSSynth.waitForReady();
    const synth = new JSSynth.Synthesizer();
    synth.init(context.sampleRate);
    synth.createAudioNode(context, 8192).connect(context.destination);
    await synth.loadSFont(this.soundFont.slice(0));
    this.synth = synth;
    return synth;
  }
}
