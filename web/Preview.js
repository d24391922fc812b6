// The preview: FluidSynth compiled for the web plays the converted bytes (or the original) with
// the SoundFont the desktop uses. The synthesizer, its scripts and the SoundFont come on the first
// Play, so that the page shows at once, and browsers let sound start only from a user's action; a
// change of the adjustments while it plays restarts it at the same moment of the song.
// In this order: the wrapper needs FluidSynth present.
const SYNTHESIZER_SCRIPTS = ['lib/libfluidsynth.js', 'lib/js-synthesizer.min.js'];

async function loadScripts() {
  for (const src of SYNTHESIZER_SCRIPTS) if (!(await loadScript(src))) return false;
  return true;
}

function loadScript(src) {
  return new Promise((resolve) => {
    const script = Object.assign(document.createElement('script'), { src });
    script.addEventListener('load', () => resolve(true));
    script.addEventListener('error', () => resolve(false));
    document.head.append(script);
  });
}

export class Preview {
  constructor({ soundFont, texts, song, status, carriedTick }) {
    Object.assign(this, { soundFont, texts, song, status, carriedTick });
    this.synth = null;
    this.playing = null; // the song playing
    this.statusKey = null;
  }

  async play() {
    const song = await this.song();
    if (!song) return;
    if (song.refused) return this.showStatus(song.refused);
    const synth = await this.synthesizer();
    if (synth) await this.start(synth, song, 0);
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
    const song = await this.song();
    if (!song) return;
    if (song.refused) {
      this.stop();
      return this.showStatus(song.refused);
    }
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

  // One synthesizer, made once; a failed attempt is tried again on the next Play.
  async synthesizer() {
    this.making ??= this.makeSynthesizer();
    const synth = await this.making;
    if (!synth) this.making = null;
    return synth;
  }

  async makeSynthesizer() {
    this.showStatus('loadingInstruments');
    const [soundFont, scripts] = await Promise.all([this.soundFont().catch(() => null), loadScripts()]);
    if (!soundFont || !scripts || typeof JSSynth === 'undefined') {
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
    await synth.loadSFont(soundFont);
    this.synth = synth;
    return synth;
  }
}
